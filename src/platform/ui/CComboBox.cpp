#include "platform/ui/CComboBox.h"

#include <QComboBox>

#include "platform/ui/DialogTemplate.h"

namespace {
const char* const kSortProperty = "sortStyle";

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
    combo->setProperty(kSortProperty, bool(s & style::Sort));
    return combo;
}

QComboBox* CComboBox::Combo() const {
    return qobject_cast<QComboBox*>(GetSafeHwnd());
}

int CComboBox::AddString(const std::string& text) {
    QComboBox* combo = Combo();
    if (!combo)
        return CB_ERR;
    const QString entry = QString::fromStdString(text);
    int index = combo->count();
    if (combo->property(kSortProperty).toBool()) {
        // After any equal entries, as the sorted list box placed them.
        index = 0;
        while (index < combo->count() &&
               QString::localeAwareCompare(combo->itemText(index), entry) <= 0)
            ++index;
    }
    InsertKeepingSelection(combo, index, entry);
    return index;
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

int CComboBox::DeleteString(int index) {
    QComboBox* combo = Combo();
    if (!combo || index < 0 || index >= combo->count())
        return CB_ERR;
    combo->removeItem(index);
    return combo->count();
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

int CComboBox::FindStringExact(int startAfter, const std::string& text) const {
    QComboBox* combo = Combo();
    if (!combo)
        return CB_ERR;
    const QString wanted = QString::fromStdString(text);
    const int count = combo->count();
    for (int step = 1; step <= count; ++step) {
        const int index = (startAfter + step) % count;
        if (combo->itemText(index).compare(wanted, Qt::CaseInsensitive) == 0)
            return index;
    }
    return CB_ERR;
}
