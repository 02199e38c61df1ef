#pragma once

#include <string>

#include "platform/ui/CWnd.h"

class QComboBox;

// The combo box operations the program uses. Indexes count from 0; CB_ERR reports a failure
// or "no entry".
class CComboBox : public CWnd {
public:
    static constexpr int CB_ERR = -1;

    QComboBox* Combo() const;

    // Puts the entry at `index` (-1: at the end) whatever the sort style, so a caller that
    // inserts at the current count keeps the order of its source.
    int InsertString(int index, const std::string& text);
    void ResetContent();
    int GetCount() const;

    int GetCurSel() const;
    // -1 clears the selection and the edit field.
    int SetCurSel(int index);
    std::string GetLBText(int index) const;
    // The text in the edit field, which the user may have typed.
    std::string GetWindowText() const;
};

// The widget of a combo box template entry: a drop-down list, with an edit field when the
// style says Editable. Typing never adds entries and nothing completes the typed text. The sort
// style orders only entries added without a position, which the program never adds, so it
// changes nothing here.
QComboBox* CreateComboBox(unsigned style, QWidget* parent);
