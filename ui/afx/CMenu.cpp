#include "CMenu.h"

BOOL CMenu::AppendMenu(UINT flags, UINT_PTR idNewItem, const char* newItem) {
    return ::AppendMenuA(m_hMenu, flags, idNewItem, newItem);
}
