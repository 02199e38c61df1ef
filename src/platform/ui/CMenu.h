#pragma once

#include <QMenu>
#include <memory>
#include <string>
#include <vector>

#include "platform/ui/DialogTemplate.h"

// A menu bar's worth of pop-ups built from a menu template. Each action carries its command
// id as data.
class CMenu {
public:
    bool LoadMenu(const MenuTemplate& tpl);
    QMenu* GetSubMenu(int index) const;
    int GetMenuItemCount() const { return static_cast<int>(m_popups.size()); }

private:
    std::vector<std::unique_ptr<QMenu>> m_popups;
};

// The command id an action of a template-built menu stands for (0 when it has none).
int CommandIdOf(const QAction* action);
QAction* AddMenuCommand(QMenu* menu, int id, const std::string& text);
