#include "platform/ui/CTreeCtrl.h"

#include <QTreeWidget>

QTreeWidget* CTreeCtrl::Tree() const {
    return qobject_cast<QTreeWidget*>(GetSafeHwnd());
}

HTREEITEM CTreeCtrl::InsertItem(const std::string& text, HTREEITEM parent) {
    QTreeWidget* tree = Tree();
    if (!tree)
        return nullptr;
    auto* item = new QTreeWidgetItem(QStringList(QString::fromStdString(text)));
    if (parent)
        parent->addChild(item);
    else
        tree->addTopLevelItem(item);
    return item;
}

bool CTreeCtrl::DeleteAllItems() {
    QTreeWidget* tree = Tree();
    if (!tree)
        return false;
    tree->clear();
    return true;
}

HTREEITEM CTreeCtrl::GetSelectedItem() const {
    QTreeWidget* tree = Tree();
    if (!tree)
        return nullptr;
    const auto selected = tree->selectedItems();
    return selected.isEmpty() ? nullptr : selected.first();
}

std::string CTreeCtrl::GetItemText(HTREEITEM item) const {
    return item ? item->text(0).toStdString() : std::string();
}
