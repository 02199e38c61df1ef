#include "platform/ui/CMenu.h"

#include <string>
#include <utility>

bool CMenu::LoadMenu(const MenuTemplate& tpl) {
    m_popups.clear();
    for (const PopupTemplate& popup : tpl.popups) {
        auto menu = std::make_unique<QMenu>(QString::fromStdString(popup.caption));
        for (const MenuItemTemplate& item : popup.items) {
            if (item.id == 0)
                menu->addSeparator();
            else
                AddMenuCommand(menu.get(), item.id, item.text);
        }
        m_popups.push_back(std::move(menu));
    }
    return !m_popups.empty();
}

QMenu* CMenu::GetSubMenu(int index) const {
    if (index < 0 || index >= GetMenuItemCount())
        return nullptr;
    return m_popups[index].get();
}

int CommandIdOf(const QAction* action) {
    return action ? action->data().toInt() : 0;
}

QAction* AddMenuCommand(QMenu* menu, int id, const std::string& text) {
    QAction* action = menu->addAction(QString::fromStdString(text));
    action->setData(id);
    return action;
}
