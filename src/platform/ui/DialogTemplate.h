#pragma once

#include <string>
#include <vector>

// Window and control styles a template may carry. Only the ones the program's dialogs use.
namespace style {
constexpr unsigned Disabled = 1u << 0;
constexpr unsigned TabStop = 1u << 1;
constexpr unsigned Group = 1u << 2;
constexpr unsigned Border = 1u << 3;
constexpr unsigned HScroll = 1u << 4;
constexpr unsigned VScroll = 1u << 5;
constexpr unsigned Password = 1u << 6;
constexpr unsigned AutoHScroll = 1u << 7;
constexpr unsigned ReadOnly = 1u << 8;
constexpr unsigned Number = 1u << 9;
constexpr unsigned Center = 1u << 10;
constexpr unsigned Right = 1u << 11;
constexpr unsigned HasButtons = 1u << 12;
constexpr unsigned HasLines = 1u << 13;
constexpr unsigned LinesAtRoot = 1u << 14;
constexpr unsigned ShowSelAlways = 1u << 15;
constexpr unsigned SingleSel = 1u << 16;
constexpr unsigned OwnerData = 1u << 17;  // list rows come from a model, not from items
constexpr unsigned Editable = 1u << 18;   // combo box with an edit field
constexpr unsigned Sort = 1u << 19;
constexpr unsigned Multiline = 1u << 20;
constexpr unsigned WantReturn = 1u << 21;  // Return in a multi-line edit breaks the line
constexpr unsigned AutoVScroll = 1u << 22;
constexpr unsigned Decimal = 1u << 23;  // with Number: one decimal point is taken as well
// On a date-time picker, Right aligns the drop-down calendar with the control's right edge.

// Dialog frame styles.
constexpr unsigned Caption = 1u << 24;
constexpr unsigned SysMenu = 1u << 25;
constexpr unsigned MinimizeBox = 1u << 26;
constexpr unsigned MaximizeBox = 1u << 27;
constexpr unsigned AppWindow = 1u << 28;
}  // namespace style

enum class ControlKind {
    Static,
    Edit,
    PushButton,
    DefPushButton,
    RadioButton,
    CheckBox,
    GroupBox,
    TreeView,
    ListView,
    ComboBox,
    DateTimePicker,
    Icon,       // caption is the icon's resource path
    LinkLabel,  // static text that reports a click as a command
    Custom,     // an empty frame that a control object fills (a chart, for one)
};

// The control id of statics that nothing refers to.
constexpr int IDC_STATIC = -1;

// Standard command ids and end codes.
constexpr int IDOK = 1;
constexpr int IDCANCEL = 2;

struct ControlTemplate {
    int id;
    ControlKind kind;
    std::string caption;
    int x, y, cx, cy;  // dialog units
    unsigned style = 0;
};

struct DialogTemplate {
    int id;
    std::string caption;
    int cx, cy;  // client size in dialog units
    std::string fontName;
    int pointSize;
    unsigned style;
    std::vector<ControlTemplate> controls;  // in tab order
};

struct MenuItemTemplate {
    int id;  // 0 for a separator
    std::string text;
};

struct PopupTemplate {
    std::string caption;
    std::vector<MenuItemTemplate> items;
};

struct MenuTemplate {
    int id;
    std::vector<PopupTemplate> popups;
};
