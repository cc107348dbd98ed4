// Message maps: static tables that route a window's messages, and its controls' notifications, to member handlers.
// A message that no table of the class or its bases lists gets the default processing.
#pragma once

#include <windows.h>

#include <cstddef>

class CWnd;

namespace afx {

enum class HandlerKind {
    plain,      // void Handler()
    sysCommand, // void Handler(UINT commandId, LPARAM parameter)
    returnsIcon // HICON Handler(), whose result is the message's result
};

union Handler {
    void (CWnd::*plain)();
    void (CWnd::*sysCommand)(UINT, LPARAM);
    HICON (CWnd::*returnsIcon)();
};

struct MessageMapEntry {
    UINT message;
    UINT notification; // for WM_COMMAND: the control's notification code; otherwise 0
    UINT id;           // for WM_COMMAND: the control or command identifier; otherwise 0
    HandlerKind kind;
    Handler handler;
};

struct MessageMap {
    const MessageMap* base; // searched when this table has no entry; null ends the chain
    const MessageMapEntry* first;
    std::size_t count;
};

// The entries of a table. Each takes a handler of the derived class and stores it as one of CWnd, which is sound as
// long as CWnd is a plain (non-virtual) base of that class.
template <class T> MessageMapEntry onMessage(UINT message, void (T::*handler)()) {
    MessageMapEntry entry{message, 0, 0, HandlerKind::plain, {}};
    entry.handler.plain = static_cast<void (CWnd::*)()>(handler);
    return entry;
}

template <class T> MessageMapEntry onMessage(UINT message, void (T::*handler)(UINT, LPARAM)) {
    MessageMapEntry entry{message, 0, 0, HandlerKind::sysCommand, {}};
    entry.handler.sysCommand = static_cast<void (CWnd::*)(UINT, LPARAM)>(handler);
    return entry;
}

template <class T> MessageMapEntry onMessage(UINT message, HICON (T::*handler)()) {
    MessageMapEntry entry{message, 0, 0, HandlerKind::returnsIcon, {}};
    entry.handler.returnsIcon = static_cast<HICON (CWnd::*)()>(handler);
    return entry;
}

template <class T> MessageMapEntry onCommand(UINT notification, UINT id, void (T::*handler)()) {
    MessageMapEntry entry{WM_COMMAND, notification, id, HandlerKind::plain, {}};
    entry.handler.plain = static_cast<void (CWnd::*)()>(handler);
    return entry;
}

} // namespace afx
