#include "accounts/CUserDlg.h"

#include <QApplication>
#include <QEventLoop>
#include <stdexcept>
#include <thread>

#include "accounts/CUserAddDlg.h"
#include "data/ADODatabase.h"
#include "data/ADOException.h"
#include "data/ADORecordset.h"
#include "data/BookConnection.h"
#include "data/PasswordHash.h"
#include "data/SqlText.h"
#include "platform/skin/Skin.h"
#include "res/ResourceIds.h"
#include "res/Resources.h"

namespace {
// A password that an older or imported book keeps in plain text is replaced by its hash on its
// first good login. A book that cannot be written (a read-only copy) still lets the user in;
// the hash waits for a later login.
void ReplaceByHash(CADORecordset& rs, const std::string& hash) {
    try {
        rs.Edit();
        rs.SetFieldValue("password", hash);
        rs.Update();
    } catch (const CADOException&) {
    }
}

struct PasswordCheck {
    bool matches = false;
    std::string newHash;  // for a password kept as text; empty when none is needed or made
};

// The hashing takes tens of milliseconds: it runs on a worker while the dialog keeps
// painting. Input waits until the answer is in, so nothing is pressed twice meanwhile.
PasswordCheck CheckPassword(const std::string& stored, const std::string& typed) {
    PasswordCheck check;
    QEventLoop loop;
    std::thread worker([&] {
        check.matches = PasswordMatches(stored, typed);
        if (check.matches && !IsPasswordHash(stored)) {
            try {
                check.newHash = HashPassword(typed);
            } catch (const std::runtime_error&) {
            }
        }
        QMetaObject::invokeMethod(&loop, &QEventLoop::quit, Qt::QueuedConnection);
    });
    QApplication::setOverrideCursor(Qt::BusyCursor);
    loop.exec(QEventLoop::ExcludeUserInputEvents);
    QApplication::restoreOverrideCursor();
    worker.join();
    return check;
}
}  // namespace

CUserDlg::CUserDlg(QWidget* parent)
    : CDialog(LoginDialogTemplate(), parent), m_strUser("root"), m_strPassword("kerno482") {}

const MessageMap& CUserDlg::GetMessageMap() const {
    static const MessageMap map{
        Command(IDOK, &CUserDlg::OnBnClickedLogin),
        Command(IDC_BTN_ADD_USER, &CUserDlg::OnBnClickedAdd),
    };
    return map;
}

void CUserDlg::DoDataExchange(CDataExchange* pDX) {
    CDialog::DoDataExchange(pDX);
    DDX_Text(pDX, IDC_EDIT_USER, m_strUser);
    DDX_Text(pDX, IDC_EDIT_PASSWORD, m_strPassword);
}

bool CUserDlg::OnInitDialog() {
    CDialog::OnInitDialog();
    dsSkinWindow(this, 100, "userLogindialog", 1);
    return true;
}

void CUserDlg::OnBnClickedLogin() {
    CADODatabase db;
    std::string storedPassword;
    UpdateData(true);
    if (m_strPassword.empty() || m_strUser.empty()) {
        MessageBox("用户名或者密码不能为空!");
        return;
    }

    db.SetConnectionString(BookConnectionString());
    if (!db.Open())
        return;

    CADORecordset rs(&db);
    const std::string query = "select * from tbUser where user = '" + SqlText(m_strUser) + "'";
    if (!rs.Open(db.GetActiveConnection(), query, CADORecordset::OpenQuery))
        return;
    if (!(rs.IsEOF() && rs.IsBOF()))
        rs.GetFieldValue("password", storedPassword);

    m_bChecking = true;
    const PasswordCheck check = CheckPassword(storedPassword, m_strPassword);
    m_bChecking = false;
    if (m_bCancelWaiting) {
        // Closed while the password was being checked: it stays closed, unlogged.
        m_bCancelWaiting = false;
        CDialog::OnCancel();
        return;
    }
    if (check.matches) {
        if (!check.newHash.empty())
            ReplaceByHash(rs, check.newHash);
        CDialog::OnOK();
    } else {
        MessageBox("密码或者用户名错误！");
    }
}

void CUserDlg::OnCancel() {
    if (m_bChecking) {
        m_bCancelWaiting = true;
        return;
    }
    CDialog::OnCancel();
}

void CUserDlg::OnBnClickedAdd() {
    CUserAddDlg dlg;
    dlg.DoModal();
}
