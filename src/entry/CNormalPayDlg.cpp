#include "entry/CNormalPayDlg.h"

#include "entry/EntryForm.h"
#include "platform/skin/Skin.h"
#include "res/ResourceIds.h"
#include "res/Resources.h"

CNormalPayDlg::CNormalPayDlg(QWidget* parent) : CDialog(NormalPayDialogTemplate(), parent) {}

const MessageMap& CNormalPayDlg::GetMessageMap() const {
    static const MessageMap map{
        Command(IDC_BTN_ENTRY_ADD, &CNormalPayDlg::OnBnClickedAdd),
        Command(IDOK, &CNormalPayDlg::OnBnClickedOk),
    };
    return map;
}

void CNormalPayDlg::DoDataExchange(CDataExchange* pDX) {
    CDialog::DoDataExchange(pDX);
    DDX_Text(pDX, IDC_EDIT_PAY_AMOUNT, m_dAmount);
    DDX_Control(pDX, IDC_COMBO_MEMBER, m_comboMember);
    DDX_Control(pDX, IDC_DATE_ENTRY, m_dateCtrl);
    DDX_Text(pDX, IDC_EDIT_REMARK, m_strRemark);
    DDX_Control(pDX, IDC_COMBO_ITEM, m_comboItem);
}

EntryForm CNormalPayDlg::Form() {
    return {*this, m_db, m_comboMember, m_comboItem, m_dateCtrl, m_dAmount, m_strRemark};
}

bool CNormalPayDlg::OnInitDialog() {
    CDialog::OnInitDialog();
    dsSkinWindow(this, 100, "nomaxdialog", 1);
    FillEntryLists(kPayBook, Form());
    return true;
}

void CNormalPayDlg::OnBnClickedAdd() {
    // The prompt has told the user what is wrong; storing the old amount would be worse.
    if (!UpdateData(true))
        return;
    AddEntry(kPayBook, Form());
}

void CNormalPayDlg::OnBnClickedOk() {
    OnOK();
}
