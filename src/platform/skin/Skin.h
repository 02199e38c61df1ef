#pragma once

#include <string>

class QMenu;
class QTreeWidgetItem;
class QWidget;

// The skin: a Qt style sheet and icons, found as the resource folder ":/skins/<name>/".
// Windows and controls are tied to the sheet's rules by the skin object name they are given.

// Loads the named skin for the whole application. Without it the plain Qt look stays.
bool dsLoadSkin(const std::string& skinName, int reserved);
void dsExitSkin();

// Gives a window or control its skin object. A null window is ignored.
void dsSkinWindow(QWidget* window, int kind, const std::string& objectName, int wholeDialog);

// Gives a tree item the skin's draw value (its icon) under the given key.
void dsSetDrawItemValueEx(QWidget* tree, QTreeWidgetItem* item, int reserved,
                          const std::string& key, const std::string& value, int flags);

// Shows a pop-up menu at a screen position; the chosen item's command id is sent to the owner.
void dsTrackPopupMenu(QMenu* menu, int flags, int x, int y, QWidget* owner, int reserved);

// A value the skin gives a skin object in skin.ini ([objectName] key=value), or the fallback
// when no skin is loaded or the skin leaves it out. Drawn controls (charts) take their colours
// from here.
std::string SkinOption(const std::string& objectName, const std::string& key,
                       const std::string& fallback);

// What the skin recorded, for whoever needs to know (tests, accessibility).
std::string SkinObjectOf(const QWidget* window);
std::string DrawItemValueOf(const QTreeWidgetItem* item, const std::string& key);
std::string LoadedSkinName();
