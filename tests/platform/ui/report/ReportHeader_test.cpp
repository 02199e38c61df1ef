#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>
#include <QTest>
#include <QTreeWidget>

#include "ReportTestDlg.h"
#include "support/UiTestSupport.h"

namespace {

constexpr int kWidth = 120;
constexpr int kHeight = 20;  // q = 5
constexpr int R = kWidth;    // the item's right edge, just outside it

class HeaderDrawTest : public ::testing::Test {
protected:
    void SetUp() override {
        dlg.Create();
        dlg.AddColumns();
        header.m_nSortColumn = 0;
        header.MarkSortColumn();
        button = header.palette().color(QPalette::Button).rgb();
        light = header.palette().color(QPalette::Light).rgb();
        dark = header.palette().color(QPalette::Dark).rgb();
    }

    QImage Draw(int item, bool ascending, bool pressed = false) {
        header.m_bSortAscending = ascending;
        QImage image(kWidth, kHeight, QImage::Format_RGB32);
        image.fill(Qt::magenta);
        QPainter painter(&image);
        header.DrawItem({item, pressed, &painter, QRect(0, 0, kWidth, kHeight)});
        return image;
    }

    // Pixels where two drawings differ: the text's ink when only the text differs.
    static QRect InkBounds(const QImage& a, const QImage& b) {
        QRect bounds;
        for (int y = 0; y < a.height(); ++y)
            for (int x = 0; x < a.width(); ++x)
                if (a.pixel(x, y) != b.pixel(x, y))
                    bounds |= QRect(x, y, 1, 1);
        return bounds;
    }

    void SetHeading(int item, const std::string& text) {
        dlg.m_list.List()->headerItem()->setText(item, QString::fromStdString(text));
    }

    ReportTestDlg dlg;
    CReportCtrl::CReportHeaderCtrl& header = dlg.m_list.m_header;
    QRgb button{}, light{}, dark{};
};

TEST_F(HeaderDrawTest, AscendingTriangleHasItsApexAtTheTop) {
    SetHeading(0, "");
    const QImage image = Draw(0, true);
    EXPECT_EQ(image.pixel(R - 10, 5), light);  // apex
    EXPECT_EQ(image.pixel(R - 5, 14), light);  // right foot
    EXPECT_EQ(image.pixel(R - 11, 14), light);
    EXPECT_EQ(image.pixel(R - 16, 14), dark);  // left foot starts the shadow
    EXPECT_EQ(image.pixel(R - 13, 9), dark);
    EXPECT_EQ(image.pixel(R - 17, 14), button);  // end points are not drawn
    EXPECT_EQ(image.pixel(R - 10, 4), button);
    EXPECT_EQ(image.pixel(R - 10, 10), button);  // hollow inside
    EXPECT_EQ(image.pixel(R - 4, 15), button);
    EXPECT_EQ(image.pixel(0, 0), button);
    EXPECT_EQ(image.pixel(R - 1, kHeight - 1), button);
}

TEST_F(HeaderDrawTest, DescendingTriangleHasItsApexAtTheBottom) {
    SetHeading(0, "");
    const QImage image = Draw(0, false);
    EXPECT_EQ(image.pixel(R - 6, 5), light);  // top right corner
    EXPECT_EQ(image.pixel(R - 9, 10), light);
    EXPECT_EQ(image.pixel(R - 11, 15), button);  // light line stops short of the apex
    EXPECT_EQ(image.pixel(R - 12, 15), dark);    // apex
    EXPECT_EQ(image.pixel(R - 16, 5), dark);     // top left corner
    EXPECT_EQ(image.pixel(R - 7, 5), dark);      // top edge
    EXPECT_EQ(image.pixel(R - 11, 5), dark);
    EXPECT_EQ(image.pixel(R - 11, 10), button);
    EXPECT_EQ(image.pixel(R - 10, 14), button);
}

TEST_F(HeaderDrawTest, TextKeepsQFreeOnTheLeftAndFourQOnTheRightOfTheSortColumn) {
    SetHeading(0, "");
    const QImage blank = Draw(0, true);
    SetHeading(0, "一个很长很长的类型名称 Long heading that cannot fit");
    const QImage text = Draw(0, true);
    const QRect ink = InkBounds(blank, text);
    ASSERT_FALSE(ink.isEmpty());
    EXPECT_GE(ink.left(), 5);
    EXPECT_LT(ink.right(), R - 20);
    EXPECT_GT(ink.right(), R - 35) << "a long text fills its room up to the ellipsis";

    // Another owner-drawn column without the sort keeps q on both sides.
    header.SetItemFormat(1, header.GetItemFormat(1) | HDF_OWNERDRAW);
    SetHeading(1, "");
    const QImage blank1 = Draw(1, true);
    SetHeading(1, "一个很长很长的类型名称 Long heading that cannot fit");
    const QRect ink1 = InkBounds(blank1, Draw(1, true));
    EXPECT_GE(ink1.left(), 5);
    EXPECT_LT(ink1.right(), R - 5);
    EXPECT_GT(ink1.right(), R - 20);
    EXPECT_EQ(blank1.pixel(R - 10, 5), button) << "no triangle outside the sort column";
}

TEST_F(HeaderDrawTest, PressedTextShiftsButTheTriangleStays) {
    SetHeading(0, "");
    const QImage blank = Draw(0, true, true);
    EXPECT_EQ(blank, Draw(0, true, false));
    SetHeading(0, "金额");
    const QRect ink = InkBounds(blank, Draw(0, true, false));
    const QRect pressed = InkBounds(blank, Draw(0, true, true));
    ASSERT_FALSE(ink.isEmpty());
    EXPECT_EQ(pressed.topLeft(), ink.topLeft() + QPoint(1, 1));
}

TEST_F(HeaderDrawTest, AlignmentFollowsTheColumnFormat) {
    SetHeading(1, "");
    header.m_nSortColumn = 1;
    header.MarkSortColumn();  // column 1 is right-aligned
    const QImage blank = Draw(1, true);
    SetHeading(1, "金额");
    const QRect right = InkBounds(blank, Draw(1, true));
    EXPECT_GE(right.right(), R - 20 - 3);
    EXPECT_LT(right.right(), R - 20);

    header.SetItemFormat(1, LVCFMT_LEFT | HDF_OWNERDRAW);
    const QRect left = InkBounds(blank, Draw(1, true));
    EXPECT_LE(left.left(), 5 + 2);
}

// Light and dark pixels per row in the triangle's place: the right 4q pixels of an item.
struct Bevel {
    int nLight = 0, nDark = 0;
    int nWidestLightRow = -1, nWidestDarkRow = -1;
};

Bevel FindBevel(const QImage& item, const QPalette& palette) {
    Bevel bevel;
    const int q = item.height() / 4;
    int widestLight = 0, widestDark = 0;
    for (int y = 0; y < item.height(); ++y) {
        int light = 0, dark = 0;
        for (int x = item.width() - 4 * q; x < item.width(); ++x) {
            light += item.pixel(x, y) == palette.color(QPalette::Light).rgb();
            dark += item.pixel(x, y) == palette.color(QPalette::Dark).rgb();
        }
        bevel.nLight += light;
        bevel.nDark += dark;
        if (light > widestLight)
            widestLight = light, bevel.nWidestLightRow = y;
        if (dark > widestDark)
            widestDark = dark, bevel.nWidestDarkRow = y;
    }
    return bevel;
}

TEST(HeaderPaint, SortedItemsAreDrawnOnTheListAndTheOthersKeepTheirLook) {
    ReportTestDlg dlg;
    dlg.Create();
    dlg.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&dlg));
    dlg.AddColumns();
    dlg.AddRows({{"王五", "12.5", "2026-12-06 14时"},
                 {"张三", "9", "2026-12-07 08时"},
                 {"李四", "100", "2026-11-30 20时"},
                 {"Alice", "", "2026-12-06 09时"}});
    QHeaderView* header = dlg.Header();
    auto itemImage = [&](int item) {
        return header->viewport()
            ->grab(QRect(header->sectionViewportPosition(item), 0, header->sectionSize(item),
                         header->viewport()->height()))
            .toImage()
            .convertToFormat(QImage::Format_RGB32);
    };
    const QImage before0 = itemImage(0);

    dlg.ClickHeader(1);
    const Bevel ascending = FindBevel(itemImage(1), header->palette());
    const int q = header->viewport()->height() / 4;
    EXPECT_GE(ascending.nLight, 3 * q);
    EXPECT_GE(ascending.nDark, 2 * q);
    EXPECT_GT(ascending.nWidestLightRow, header->viewport()->height() / 2) << "base at the bottom";
    EXPECT_EQ(itemImage(0), before0) << "a column never sorted keeps the standard look";

    dlg.ClickHeader(1);
    const Bevel descending = FindBevel(itemImage(1), header->palette());
    EXPECT_GE(descending.nDark, 3 * q);
    EXPECT_LT(descending.nWidestDarkRow, header->viewport()->height() / 2) << "base at the top";

    dlg.ClickHeader(1);
    const QImage screenshot = SaveScreenshot(&dlg, "report_list_sorted");
    EXPECT_FALSE(screenshot.isNull());
    EXPECT_EQ(dlg.Column(0), (std::vector<std::string>{"Alice", "张三", "王五", "李四"}));

    dlg.ClickHeader(0);
    const Bevel gone = FindBevel(itemImage(1), header->palette());
    // The right-aligned heading now reaches into that place; its ink is never the light colour.
    EXPECT_EQ(gone.nLight, 0) << "the triangle leaves with the sort";
    EXPECT_LT(gone.nDark, q);
    EXPECT_GT(FindBevel(itemImage(0), header->palette()).nDark, 0);
}

}  // namespace
