#pragma once

#include <functional>
#include <initializer_list>
#include <vector>

class CDialog;

// What happened at a control, as the dialog's handlers see it.
enum class Event {
    Command,           // a button, radio button, link label or menu item was activated
    Click,             // left mouse click in a tree or list, on an item or on empty space
    DoubleClick,       // left double-click in a tree or list
    RightDoubleClick,  // right double-click in a tree or list
    Return,            // Enter pressed in a tree or list: the keyboard's way to open an item
    SelChange,         // the selection of a list, tree or combo box changed
    ColumnClick,       // a list header item was clicked; Notification::item is the column
    Message,           // a private window message; Notification::id is the message number
};

struct Notification {
    int id;
    Event event;
    int item = -1;
    // Set by the handler. For notifications, non-zero suppresses the control's own
    // handling; for messages, it is the message's result.
    long result = 0;
};

// The handlers of one dialog class, found by event and control id.
class MessageMap {
public:
    using Handler = std::function<void(CDialog&, Notification&)>;
    struct Entry {
        Event event;
        int id;
        Handler handler;
    };

    MessageMap() = default;
    MessageMap(std::initializer_list<Entry> entries) : m_entries(entries) {}

    const Handler* Find(Event event, int id) const {
        for (const Entry& entry : m_entries) {
            if (entry.event == event && entry.id == id)
                return &entry.handler;
        }
        return nullptr;
    }

private:
    std::vector<Entry> m_entries;
};

// Entry builders; T is the dialog class that declares the handler.
template <class T>
MessageMap::Entry Command(int id, void (T::*handler)()) {
    return {Event::Command, id,
            [handler](CDialog& dlg, Notification&) { (static_cast<T&>(dlg).*handler)(); }};
}

template <class T>
MessageMap::Entry Notify(Event event, int id, void (T::*handler)(Notification&)) {
    return {event, id,
            [handler](CDialog& dlg, Notification& n) { (static_cast<T&>(dlg).*handler)(n); }};
}

template <class T>
MessageMap::Entry Message(int message, long (T::*handler)()) {
    return {Event::Message, message, [handler](CDialog& dlg, Notification& n) {
                n.result = (static_cast<T&>(dlg).*handler)();
            }};
}
