// A window of ours: its handle, its message map and the data exchange between its boxes and its members.
#pragma once

#include <windows.h>

#include "CString.h"
#include "MessageMap.h"

class CDataExchange;
class CMenu;

class CWnd {
public:
    CWnd() = default;
    CWnd(const CWnd&) = delete;
    CWnd& operator=(const CWnd&) = delete;
    virtual ~CWnd() = default;

    HWND m_hWnd = nullptr;

    // TRUE copies each bound box into its member, FALSE each member into its box, in the data-exchange order.
    // While either runs, notifications from the window's own controls reach no handler.
    BOOL UpdateData(BOOL saveAndValidate = TRUE);
    virtual void DoDataExchange(CDataExchange* pDX);

    int MessageBox(const char* text, const char* caption = nullptr, UINT type = MB_OK);
    CMenu GetSystemMenu(BOOL revert) const;
    BOOL IsIconic() const { return ::IsIconic(m_hWnd); }
    void GetClientRect(RECT* rect) const { ::GetClientRect(m_hWnd, rect); }
    LRESULT SendMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const {
        return ::SendMessageA(m_hWnd, message, wParam, lParam);
    }
    HWND GetDlgItem(int id) const { return ::GetDlgItem(m_hWnd, id); }

    // The default processing of the message being handled now.
    LRESULT Default();

    static const afx::MessageMap messageMap;

protected:
    virtual const afx::MessageMap* GetMessageMap() const { return &messageMap; }
    virtual LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam);
    // Called for WM_COMMAND; returns FALSE when nothing handled it.
    virtual BOOL OnCommand(WPARAM wParam, LPARAM lParam);

    // Routes the window's messages through WindowProc from now until it is destroyed.
    void SubclassWindow(HWND hWnd);

private:
    static LRESULT CALLBACK SubclassProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam);
    const afx::MessageMapEntry* FindEntry(UINT message, UINT notification, UINT id) const;
    LRESULT Invoke(const afx::MessageMapEntry& entry, WPARAM wParam, LPARAM lParam);

    WNDPROC m_superProc = nullptr;
    MSG m_currentMessage{};
    bool m_exchangingData = false;
};
