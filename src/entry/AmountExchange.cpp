#include "entry/AmountExchange.h"

#include "platform/ui/CDialog.h"
#include "platform/ui/DataExchange.h"
#include "platform/ui/MessageBox.h"
#include "platform/ui/WindowText.h"

void DDX_Amount(CDataExchange* pDX, int id, Fen& value) {
    QWidget* edit = pDX->m_pDlgWnd->GetDlgItem(id);
    if (!edit)
        return;
    if (!pDX->m_bSaveAndValidate) {
        SetWindowText(edit, QString::fromStdString(FenText(value, FenStyle::Edit)));
        return;
    }
    Fen::Fault fault = Fen::Fault::None;
    const std::optional<Fen> amount = Fen::Parse(WindowText(edit).trimmed().toStdString(), &fault);
    if (!amount) {
        ShowMessageBox(pDX->m_pDlgWnd, fault == Fen::Fault::FinerThanFen
                                           ? "金额只能精确到分，请最多输入两位小数。"
                                       : fault == Fen::Fault::TooLarge
                                           ? "金额太大，请输入不超过 9999999999999.99 的金额。"
                                           : "请输入一个数字。");
        pDX->Fail(id);
    }
    value = *amount;
}
