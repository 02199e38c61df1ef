#include "platform/ui/DataExchange.h"

#include <QAbstractButton>
#include <QComboBox>
#include <charconv>
#include <cmath>

#include "platform/ui/CDialog.h"
#include "platform/ui/CWnd.h"
#include "platform/ui/MessageBox.h"
#include "platform/ui/WindowText.h"

namespace {
QWidget* Item(CDataExchange* pDX, int id) {
    return pDX->m_pDlgWnd->GetDlgItem(id);
}

std::string Trimmed(const QWidget* widget) {
    return WindowText(widget).trimmed().toStdString();
}
}  // namespace

void CDataExchange::Fail(int id) {
    if (QWidget* widget = m_pDlgWnd->GetDlgItem(id))
        widget->setFocus();
    throw DataExchangeFailed{};
}

void DDX_Control(CDataExchange* pDX, int id, CWnd& control) {
    if (!control.IsAttached())
        control.Attach(Item(pDX, id));
}

void DDX_Text(CDataExchange* pDX, int id, std::string& value) {
    QWidget* widget = Item(pDX, id);
    if (!widget)
        return;
    if (pDX->m_bSaveAndValidate)
        value = WindowText(widget).toStdString();
    else
        SetWindowText(widget, QString::fromStdString(value));
}

void DDX_Text(CDataExchange* pDX, int id, int& value) {
    QWidget* widget = Item(pDX, id);
    if (!widget)
        return;
    if (!pDX->m_bSaveAndValidate) {
        SetWindowText(widget, QString::number(value));
        return;
    }
    const std::string text = Trimmed(widget);
    int parsed = 0;
    auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), parsed);
    if (text.empty() || error != std::errc() || end != text.data() + text.size()) {
        ShowMessageBox(pDX->m_pDlgWnd, "请输入一个整数。");
        pDX->Fail(id);
    }
    value = parsed;
}

void DDX_Text(CDataExchange* pDX, int id, double& value) {
    QWidget* widget = Item(pDX, id);
    if (!widget)
        return;
    if (!pDX->m_bSaveAndValidate) {
        SetWindowText(widget, QString::number(value, 'g', 15));
        return;
    }
    bool ok = false;
    const double parsed = QString::fromStdString(Trimmed(widget)).toDouble(&ok);
    // "inf" and "nan" parse, but are no amount anybody wrote.
    if (!ok || !std::isfinite(parsed)) {
        ShowMessageBox(pDX->m_pDlgWnd, "请输入一个数字。");
        pDX->Fail(id);
    }
    value = parsed;
}

void DDX_Check(CDataExchange* pDX, int id, int& value) {
    auto* button = qobject_cast<QAbstractButton*>(Item(pDX, id));
    if (!button)
        return;
    if (pDX->m_bSaveAndValidate)
        value = button->isChecked() ? 1 : 0;
    else
        button->setChecked(value != 0);
}

void DDX_CBString(CDataExchange* pDX, int id, std::string& value) {
    auto* combo = qobject_cast<QComboBox*>(Item(pDX, id));
    if (!combo)
        return;
    if (pDX->m_bSaveAndValidate) {
        value = combo->currentText().toStdString();
        return;
    }
    const QString text = QString::fromStdString(value);
    const int index = combo->findText(text, Qt::MatchStartsWith);
    if (index >= 0)
        combo->setCurrentIndex(index);
    else if (combo->isEditable())
        combo->setCurrentText(text);
}
