#include "accounts/CUserAddDlg.h"

#include "data/BookConnection.h"
#include "data/PasswordHash.h"
#include "data/SqlText.h"
#include "platform/skin/Skin.h"
#include "res/ResourceIds.h"
#include "res/Resources.h"

namespace {
constexpr const char* kEmptyFieldMessage = "用户名或者密码不能为空!";
}

CUserAddDlg::CUserAddDlg(QWidget* parent) : CDialog(UserAddDialogTemplate(), parent) {}

const MessageMap& CUserAddDlg::GetMessageMap() const {
    static const MessageMap map{
        Command(IDOK, &CUserAddDlg::OnBnClickedOk),
        Command(IDC_RADIO_ADD_USER, &CUserAddDlg::OnBnClickedRadioAdd),
        Command(IDC_RADIO_CHANGE_PASSWORD, &CUserAddDlg::OnBnClickedRadioChange),
    };
    return map;
}

void CUserAddDlg::DoDataExchange(CDataExchange* pDX) {
    CDialog::DoDataExchange(pDX);
    DDX_Text(pDX, IDC_EDIT_NAME, m_strName);
    DDX_Text(pDX, IDC_EDIT_PASSWORD, m_strPassword);
    DDX_Text(pDX, IDC_EDIT_REPEAT, m_strRepeat);
}

bool CUserAddDlg::OnInitDialog() {
    CDialog::OnInitDialog();
    dsSkinWindow(this, 100, "userdialog", 1);
    dsSkinWindow(GetDlgItem(IDC_RADIO_ADD_USER), 105, "checkbtn_state", 0);
    dsSkinWindow(GetDlgItem(IDC_RADIO_CHANGE_PASSWORD), 105, "checkbtn_state", 0);
    CheckDlgButton(IDC_RADIO_ADD_USER, true);
    return true;
}

void CUserAddDlg::OnBnClickedRadioAdd() {
    SetDlgItemText(IDC_STATIC_NAME, "用 户  名：");
}

void CUserAddDlg::OnBnClickedRadioChange() {
    SetDlgItemText(IDC_STATIC_NAME, "旧 密  码：");
}

void CUserAddDlg::OnBnClickedOk() {
    UpdateData(true);
    const std::string query = "select * from tbUser where user = '" + SqlText(m_strName) + "'";
    m_db.SetConnectionString(BookConnectionString());
    // A failure half-way must not leave the connection open for the next press.
    try {
        if (IsDlgButtonChecked(IDC_RADIO_ADD_USER))
            AddUser(query);
        else
            ChangeRootPassword();
    } catch (...) {
        try {
            m_db.Close();
        } catch (...) {
        }
        throw;
    }
}

void CUserAddDlg::AddUser(const std::string& query) {
    if (!m_db.Open())
        return;
    CADORecordset rs(&m_db);
    if (!rs.Open(m_db.GetActiveConnection(), query, CADORecordset::OpenQuery)) {
        m_db.Close();
        return;
    }
    if (!rs.IsEOF()) {
        MessageBox("用户名已存在！");
    } else if (m_strPassword != m_strRepeat) {
        MessageBox("两次密码不一致！");
    } else if (m_strName.empty() || m_strPassword.empty()) {
        // Such an account could never log in.
        MessageBox(kEmptyFieldMessage);
    } else {
        rs.AddNew();
        rs.SetFieldValue(1, m_strName);
        rs.SetFieldValue(2, HashPassword(m_strPassword));
        if (rs.Update())
            MessageBox("添加成功！");
    }
    rs.Close();
    m_db.Close();
}

void CUserAddDlg::ChangeRootPassword() {
    if (!m_db.Open())
        return;
    CADORecordset rs(&m_db);
    if (!rs.Open(m_db.GetActiveConnection(), "select * from tbUser where user = 'root'",
                 CADORecordset::OpenQuery)) {
        m_db.Close();
        return;
    }
    if (!rs.IsEOF()) {
        std::string storedPassword;
        rs.GetFieldValue(2, storedPassword);
        if (!PasswordMatches(storedPassword, m_strName)) {
            MessageBox("与旧密码不一致！");
        } else if (m_strPassword != m_strRepeat) {
            MessageBox("两次密码不一致！");
        } else if (m_strRepeat.empty()) {
            // An empty password would lock the administrator out: the login refuses it.
            MessageBox(kEmptyFieldMessage);
        } else {
            rs.Edit();
            rs.SetFieldValue(2, HashPassword(m_strRepeat));
            if (rs.Update())
                MessageBox("更改成功！");
        }
    }
    rs.Close();
    m_db.Close();
}
