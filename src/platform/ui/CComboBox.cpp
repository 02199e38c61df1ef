#include "platform/ui/CComboBox.h"

#include <QComboBox>

#include "platform/ui/DialogTemplate.h"

namespace {
// A list entry never selects itself, and the edit field keeps what the user sees; QComboBox
// would select the first entry put into an empty list.
void InsertKeepingSelection(QComboBox* combo, int index, const QString& text) {
    const int selected = combo->currentIndex();
    const QString shown = combo->currentText();
    combo->insertItem(index, text);
    if (selected < 0 && combo->currentIndex() >= 0)
        combo->setCurrentIndex(-1);
    if (combo->isEditable() && combo->currentText() != shown)
        combo->setEditText(shown);
}
}  // namespace

QComboBox* CreateComboBox(unsigned s, QWidget* parent) {
    auto* combo = new QComboBox(parent);
    combo->setEditable(s & style::Editable);
    combo->setInsertPolicy(QComboBox::NoInsert);
    if (combo->isEditable())
        combo->setCompleter(nullptr);
    return combo;
}

QComboBox* CComboBox::Combo() const {
    return qobject_cast<QComboBox*>(GetSafeHwnd());
}

int CComboBox::InsertString(int index, const std::string& text) {
    QComboBox* combo = Combo();
    if (!combo || index < -1 || index > combo->count())
        return CB_ERR;
    if (index == -1)
        index = combo->count();
    InsertKeepingSelection(combo, index, QString::fromStdString(text));
    return index;
}

void CComboBox::ResetContent() {
    if (QComboBox* combo = Combo()) {
        combo->clear();
        if (combo->isEditable())
            combo->clearEditText();
    }
}

int CComboBox::GetCount() const {
    QComboBox* combo = Combo();
    return combo ? combo->count() : CB_ERR;
}

int CComboBox::GetCurSel() const {
    QComboBox* combo = Combo();
    return combo ? combo->currentIndex() : CB_ERR;
}

int CComboBox::SetCurSel(int index) {
    QComboBox* combo = Combo();
    if (!combo)
        return CB_ERR;
    if (index < 0 || index >= combo->count()) {
        combo->setCurrentIndex(-1);
        if (combo->isEditable())
            combo->clearEditText();
        return CB_ERR;
    }
    combo->setCurrentIndex(index);
    // An edited field shows the entry again, as selecting it in the list does.
    if (combo->isEditable())
        combo->setEditText(combo->itemText(index));
    return index;
}

std::string CComboBox::GetLBText(int index) const {
    QComboBox* combo = Combo();
    if (!combo || index < 0 || index >= combo->count())
        return {};
    return combo->itemText(index).toStdString();
}

std::string CComboBox::GetWindowText() const {
    QComboBox* combo = Combo();
    return combo ? combo->currentText().toStdString() : std::string();
}
