#include "entry/CNormalIncomeDlg.h"

#include "entry/AmountExchange.h"
#include "entry/EntryChange.h"
#include "entry/EntryForm.h"
#include "platform/skin/Skin.h"
#include "res/ResourceIds.h"
#include "res/Resources.h"

CNormalIncomeDlg::CNormalIncomeDlg(QWidget* parent)
    : CDialog(NormalIncomeDialogTemplate(), parent) {}

const MessageMap& CNormalIncomeDlg::GetMessageMap() const {
    static const MessageMap map{
        Command(IDC_BTN_ENTRY_ADD, &CNormalIncomeDlg::OnBnClickedAdd),
        Command(IDC_BTN_ENTRY_CLOSE, &CNormalIncomeDlg::OnBnClickedClose),
    };
    return map;
}

void CNormalIncomeDlg::DoDataExchange(CDataExchange* pDX) {
    CDialog::DoDataExchange(pDX);
    DDX_Control(pDX, IDC_COMBO_MEMBER, m_comboMember);
    DDX_Control(pDX, IDC_COMBO_ITEM, m_comboItem);
    DDX_Amount(pDX, IDC_EDIT_INCOME_AMOUNT, m_fenAmount);
    DDX_Text(pDX, IDC_EDIT_REMARK, m_strRemark);
    DDX_Control(pDX, IDC_DATE_ENTRY, m_dateCtrl);
}

EntryForm CNormalIncomeDlg::Form() {
    return {*this, m_db, m_comboMember, m_comboItem, m_dateCtrl, m_fenAmount, m_strRemark};
}

bool CNormalIncomeDlg::OnInitDialog() {
    CDialog::OnInitDialog();
    dsSkinWindow(this, 100, "nomaxdialog", 1);
    FillEntryLists(kIncomeSide, Form());
    if (m_pChange) {
        m_fenAmount = Fen::FromYuan(m_pChange->stored.amount).value_or(Fen());
        m_strRemark = m_pChange->stored.remark;
        UpdateData(false);
        ShowEntryForChange(Form(), *m_pChange, "修改收入记录", IDC_BTN_ENTRY_ADD,
                           IDC_BTN_ENTRY_CLOSE);
    }
    return true;
}

void CNormalIncomeDlg::OnBnClickedAdd() {
    // The prompt has told the user what is wrong; storing the old amount would be worse.
    if (!UpdateData(true))
        return;
    if (!m_pChange)
        AddEntry(kIncomeSide, Form());
    else if (ApplyEntryChange(kIncomeSide, Form(), *m_pChange))
        EndDialog(IDOK);
}

void CNormalIncomeDlg::OnBnClickedClose() {
    // While changing an entry this button is 取消.
    if (m_pChange)
        OnCancel();
    else
        OnOK();
}
