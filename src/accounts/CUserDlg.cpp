#include "accounts/CUserDlg.h"

#include <stdexcept>

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
void ReplaceByHash(CADORecordset& rs, const std::string& password) {
    try {
        rs.Edit();
        rs.SetFieldValue("password", HashPassword(password));
        rs.Update();
    } catch (const CADOException&) {
    } catch (const std::runtime_error&) {
    }
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

    if (PasswordMatches(storedPassword, m_strPassword)) {
        if (!IsPasswordHash(storedPassword))
            ReplaceByHash(rs, m_strPassword);
        CDialog::OnOK();
    } else {
        MessageBox("密码或者用户名错误！");
    }
}

void CUserDlg::OnBnClickedAdd() {
    CUserAddDlg dlg;
    dlg.DoModal();
}
