#include <gtest/gtest.h>

#include <QDesktopServices>
#include <QLabel>
#include <QTest>
#include <QUrl>

#include "app/CAboutDlg.h"
#include "platform/skin/Skin.h"
#include "res/ResourceIds.h"
#include "support/UiTestSupport.h"

namespace {
// Catches the URLs the program asks the desktop to open, instead of starting a browser.
class UrlCatcher : public QObject {
    Q_OBJECT

public:
    UrlCatcher() {
        QDesktopServices::setUrlHandler(QStringLiteral("https"), this, "open");
        QDesktopServices::setUrlHandler(QStringLiteral("http"), this, "open");
    }
    ~UrlCatcher() override {
        QDesktopServices::unsetUrlHandler(QStringLiteral("https"));
        QDesktopServices::unsetUrlHandler(QStringLiteral("http"));
    }
    QList<QUrl> opened;

public slots:
    void open(const QUrl& url) { opened.append(url); }
};

TEST(AboutBox, ShowsTheProductAndOpensTheSiteFromItsLink) {
    UrlCatcher urls;
    CAboutDlg about;
    about.Create();
    EXPECT_EQ(about.windowTitle(), QStringLiteral("关于 Coffer"));
    EXPECT_EQ(SkinObjectOf(&about), "aboutdialog");
    auto* link = about.GetDlgItemAs<QLabel>(IDC_LINK_SITE);
    ASSERT_NE(link, nullptr);
    EXPECT_EQ(SkinObjectOf(link), "linkstatic");

    QList<QLabel*> labels = about.findChildren<QLabel*>();
    const bool hasProductLine = std::any_of(labels.begin(), labels.end(), [](QLabel* label) {
        return label->text() == QStringLiteral("Tillbook\u3000V1.0");
    });
    EXPECT_TRUE(hasProductLine);

    QTest::mouseClick(link, Qt::LeftButton);
    about.show();
    link->setFocus();
    QTest::keyClick(link, Qt::Key_Return);
    ASSERT_EQ(urls.opened.size(), 2);
    EXPECT_EQ(urls.opened[0], QUrl(QString::fromLatin1(CAboutDlg::SiteUrl())));

    Click(about, IDOK);
    EXPECT_EQ(about.GetEndCode(), IDOK);
}

TEST(AboutBox, LooksRight) {
    dsLoadSkin("ControlSkin", 0);
    CAboutDlg about;
    about.Create();
    about.show();
    SaveScreenshot(&about, "about-box");
    ExpectTextsFit(&about);
    dsExitSkin();
}
}  // namespace

#include "AboutBox_test.moc"
