#include "CWnd.h"

#include "CDataExchange.h"
#include "CMenu.h"
#include "CWinApp.h"

namespace {
const char windowProperty[] = "Zerkon.CWnd";
}

const afx::MessageMap CWnd::messageMap = {nullptr, nullptr, 0};

BOOL CWnd::UpdateData(BOOL saveAndValidate) {
    // Writing a box raises its change notification at once; a handler reached from here would exchange again,
    // half done, so notifications wait out the exchange.
    const bool wasExchanging = m_exchangingData;
    m_exchangingData = true;
    CDataExchange dx(this, saveAndValidate);
    DoDataExchange(&dx);
    m_exchangingData = wasExchanging;
    return TRUE;
}

void CWnd::DoDataExchange(CDataExchange*) {}

int CWnd::MessageBox(const char* text, const char* caption, UINT type) {
    return ::MessageBoxA(m_hWnd, text, caption, type);
}

CMenu CWnd::GetSystemMenu(BOOL revert) const { return CMenu::FromHandle(::GetSystemMenu(m_hWnd, revert)); }

LRESULT CWnd::Default() {
    const MSG& m = m_currentMessage;
    return ::CallWindowProcA(m_superProc, m_hWnd, m.message, m.wParam, m.lParam);
}

void CWnd::SubclassWindow(HWND hWnd) {
    m_hWnd = hWnd;
    ::SetPropA(hWnd, windowProperty, this);
    m_superProc = reinterpret_cast<WNDPROC>(
        ::SetWindowLongPtrA(hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&CWnd::SubclassProc)));
}

LRESULT CALLBACK CWnd::SubclassProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam) {
    CWnd* wnd = static_cast<CWnd*>(::GetPropA(hWnd, windowProperty));
    if (!wnd) return ::DefWindowProcA(hWnd, message, wParam, lParam);
    // Handlers send messages of their own, so the message being handled is kept per call, not per window.
    const MSG outer = wnd->m_currentMessage;
    wnd->m_currentMessage = MSG{hWnd, message, wParam, lParam, 0, {0, 0}};
    LRESULT result;
    if (message == WM_NCDESTROY) {
        const WNDPROC super = wnd->m_superProc;
        ::SetWindowLongPtrA(hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(super));
        ::RemovePropA(hWnd, windowProperty);
        wnd->m_hWnd = nullptr;
        result = ::CallWindowProcA(super, hWnd, message, wParam, lParam);
    } else {
        result = wnd->WindowProc(message, wParam, lParam);
    }
    wnd->m_currentMessage = outer;
    return result;
}

LRESULT CWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_COMMAND) {
        if (OnCommand(wParam, lParam)) return 0;
    } else if (const afx::MessageMapEntry* entry = FindEntry(message, 0, 0)) {
        return Invoke(*entry, wParam, lParam);
    }
    return Default();
}

BOOL CWnd::OnCommand(WPARAM wParam, LPARAM lParam) {
    const bool fromControl = lParam != 0;
    if (fromControl && m_exchangingData) return FALSE;
    if (const afx::MessageMapEntry* entry = FindEntry(WM_COMMAND, HIWORD(wParam), LOWORD(wParam))) {
        Invoke(*entry, wParam, lParam);
        return TRUE;
    }
    // Menu and accelerator commands that the window does not take go on to the application.
    if (!fromControl && AfxGetApp()) return AfxGetApp()->OnCmdMsg(LOWORD(wParam));
    return FALSE;
}

const afx::MessageMapEntry* CWnd::FindEntry(UINT message, UINT notification, UINT id) const {
    for (const afx::MessageMap* map = GetMessageMap(); map; map = map->base)
        for (std::size_t i = 0; i < map->count; ++i) {
            const afx::MessageMapEntry& entry = map->first[i];
            if (entry.message == message && entry.notification == notification && entry.id == id) return &entry;
        }
    return nullptr;
}

LRESULT CWnd::Invoke(const afx::MessageMapEntry& entry, WPARAM wParam, LPARAM lParam) {
    switch (entry.kind) {
    case afx::HandlerKind::plain:
        (this->*entry.handler.plain)();
        return 0;
    case afx::HandlerKind::sysCommand:
        (this->*entry.handler.sysCommand)(static_cast<UINT>(wParam), lParam);
        return 0;
    case afx::HandlerKind::returnsIcon:
        return reinterpret_cast<LRESULT>((this->*entry.handler.returnsIcon)());
    }
    return 0;
}
