#include "CDialog.h"

#include "CDataExchange.h"
#include "CWinApp.h"

INT_PTR CDialog::DoModal() {
    const CWinApp* app = AfxGetApp();
    const HWND owner = app && app->m_pMainWnd && app->m_pMainWnd != this ? app->m_pMainWnd->m_hWnd : nullptr;
    const INT_PTR result = ::DialogBoxParamA(::GetModuleHandleA(nullptr), MAKEINTRESOURCEA(m_templateId), owner,
                                             &CDialog::DialogProc, reinterpret_cast<LPARAM>(this));
    m_hWnd = nullptr;
    return result;
}

void CDialog::UpdateData(BOOL saveAndValidate) {
    // Writing a box raises its change notification at once; a handler reached from here would exchange again, half
    // done, so notifications wait out the exchange.
    m_exchangingData = true;
    CDataExchange dx{this, saveAndValidate};
    DoDataExchange(&dx);
    m_exchangingData = false;
}

BOOL CDialog::OnInitDialog() {
    UpdateData(FALSE);
    return TRUE;
}

// The object comes with WM_INITDIALOG and is kept in the window's user data; the few messages before it (the font,
// the frame) find none and get the default processing.
INT_PTR CALLBACK CDialog::DialogProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG) {
        ::SetWindowLongPtrA(hWnd, GWLP_USERDATA, lParam);
        CDialog* dialog = reinterpret_cast<CDialog*>(lParam);
        dialog->m_hWnd = hWnd;
        return dialog->OnInitDialog();
    }
    CDialog* dialog = reinterpret_cast<CDialog*>(::GetWindowLongPtrA(hWnd, GWLP_USERDATA));
    return dialog ? dialog->OnMessage(message, wParam, lParam) : FALSE;
}

INT_PTR CDialog::OnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    const bool isCommand = message == WM_COMMAND;
    const bool fromControl = isCommand && lParam != 0;
    if (fromControl && m_exchangingData) return TRUE;
    const UINT notification = isCommand ? HIWORD(wParam) : 0;
    const UINT id = isCommand ? LOWORD(wParam) : 0;

    const MessageMap map = GetMessageMap();
    for (std::size_t i = 0; i < map.count; ++i) {
        const MessageMapEntry& entry = map.entries[i];
        if (entry.message != message || entry.notification != notification || entry.id != id) continue;
        if (entry.onMessage) return (this->*entry.onMessage)(wParam, lParam);
        (this->*entry.onCommand)();
        return TRUE;
    }

    // OK and Cancel, when the map does not take them: OK (the Enter key too) copies the boxes into the members and
    // ends the dialog; Cancel (the Escape key and the close box too) ends it without copying.
    if (isCommand && notification == BN_CLICKED && (id == IDOK || id == IDCANCEL)) {
        if (id == IDOK) UpdateData(TRUE);
        ::EndDialog(m_hWnd, id);
        return TRUE;
    }
    return FALSE;
}
