// A menu handle. It never owns the menu: the one the program uses, the system menu, belongs to its window.
#pragma once

#include <windows.h>

class CMenu {
public:
    static CMenu FromHandle(HMENU hMenu) { return CMenu(hMenu); }

    BOOL AppendMenu(UINT flags, UINT_PTR idNewItem = 0, const char* newItem = nullptr);

    HMENU m_hMenu;

private:
    explicit CMenu(HMENU hMenu) : m_hMenu(hMenu) {}
};
