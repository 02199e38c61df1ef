#include "app/CAboutDlg.h"

#include <QDesktopServices>
#include <QUrl>

#include "data/BookConnection.h"
#include "platform/skin/Skin.h"
#include "res/ResourceIds.h"
#include "res/Resources.h"

CAboutDlg::CAboutDlg(QWidget* parent) : CDialog(AboutDialogTemplate(), parent) {}

const char* CAboutDlg::SiteUrl() {
    return "https://tillbook.quillmoor.example/";
}

const MessageMap& CAboutDlg::GetMessageMap() const {
    static const MessageMap map{Command(IDC_LINK_SITE, &CAboutDlg::OnSiteLink)};
    return map;
}

bool CAboutDlg::OnInitDialog() {
    CDialog::OnInitDialog();
    dsSkinWindow(this, 100, "aboutdialog", 1);
    dsSkinWindow(GetDlgItem(IDC_LINK_SITE), 106, "linkstatic", 0);
    SetDlgItemText(IDC_STATIC_BOOK, "账本：" + ShownBookName(BookConnectionString()));
    return true;
}

void CAboutDlg::OnSiteLink() {
    QDesktopServices::openUrl(QUrl(QString::fromLatin1(SiteUrl())));
}
