#include "entry/CNormalPayDlg.h"

#include "entry/AmountExchange.h"
#include "entry/EntryChange.h"
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
    DDX_Amount(pDX, IDC_EDIT_PAY_AMOUNT, m_fenAmount);
    DDX_Control(pDX, IDC_COMBO_MEMBER, m_comboMember);
    DDX_Control(pDX, IDC_DATE_ENTRY, m_dateCtrl);
    DDX_Text(pDX, IDC_EDIT_REMARK, m_strRemark);
    DDX_Control(pDX, IDC_COMBO_ITEM, m_comboItem);
}

EntryForm CNormalPayDlg::Form() {
    return {*this, m_db, m_comboMember, m_comboItem, m_dateCtrl, m_fenAmount, m_strRemark};
}

bool CNormalPayDlg::OnInitDialog() {
    CDialog::OnInitDialog();
    dsSkinWindow(this, 100, "nomaxdialog", 1);
    FillEntryLists(kPaySide, Form());
    if (m_pChange) {
        m_fenAmount = Fen::FromYuan(m_pChange->stored.amount).value_or(Fen());
        m_strRemark = m_pChange->stored.remark;
        UpdateData(false);
        ShowEntryForChange(Form(), *m_pChange, "修改支出记录", IDC_BTN_ENTRY_ADD, IDOK);
    }
    return true;
}

void CNormalPayDlg::OnBnClickedAdd() {
    // The prompt has told the user what is wrong; storing the old amount would be worse.
    if (!UpdateData(true))
        return;
    if (!m_pChange)
        AddEntry(kPaySide, Form());
    else if (ApplyEntryChange(kPaySide, Form(), *m_pChange))
        EndDialog(IDOK);
}

void CNormalPayDlg::OnBnClickedOk() {
    // While changing an entry this button is 取消.
    if (m_pChange)
        OnCancel();
    else
        OnOK();
}
