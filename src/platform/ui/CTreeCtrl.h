#pragma once

#include <string>

#include "platform/ui/CWnd.h"

class QTreeWidget;
class QTreeWidgetItem;

using HTREEITEM = QTreeWidgetItem*;

// The tree view operations the program uses.
class CTreeCtrl : public CWnd {
public:
    QTreeWidget* Tree() const;

    HTREEITEM InsertItem(const std::string& text, HTREEITEM parent = nullptr);
    bool DeleteAllItems();
    HTREEITEM GetSelectedItem() const;
    std::string GetItemText(HTREEITEM item) const;
};
