#include "CDialog.h"

#include "CDataExchange.h"
#include "CWinApp.h"

#include <cstdio>
#include <exception>
#include <new>

namespace {

// Says why a command stopped. It builds its text without the heap, which may be what ran out.
void reportStoppedCommand(HWND hWnd, const char* reason) {
    char text[512];
    std::snprintf(text, sizeof text,
                  "The command was stopped: %s.\n\nThe DP file holds either its old content or the new, never a mix.",
                  reason);
    ::MessageBoxA(hWnd, text, "Zerkon", MB_ICONHAND);
}

} // namespace

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
    // done, so notifications wait out the exchange, however it ends.
    struct Exchanging {
        bool& flag;
        explicit Exchanging(bool& flag) : flag(flag) { flag = true; }
        ~Exchanging() { flag = false; }
    } exchanging(m_exchangingData);
    CDataExchange dx{this, saveAndValidate};
    DoDataExchange(&dx);
}

BOOL CDialog::OnInitDialog() {
    UpdateData(FALSE);
    return TRUE;
}

void CDialog::OnOK() {
    UpdateData(TRUE);
    ::EndDialog(m_hWnd, IDOK);
}

void CDialog::OnCancel() { ::EndDialog(m_hWnd, IDCANCEL); }

// The object comes with WM_INITDIALOG and is kept in the window's user data; the few messages before it (the font,
// the frame) find none and get the default processing. No exception may unwind through the system's code that called
// here: a command that throws is reported, and the dialog goes on with what it holds.
INT_PTR CALLBACK CDialog::DialogProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam) {
    try {
        if (message == WM_INITDIALOG) {
            ::SetWindowLongPtrA(hWnd, GWLP_USERDATA, lParam);
            CDialog* dialog = reinterpret_cast<CDialog*>(lParam);
            dialog->m_hWnd = hWnd;
            return dialog->OnInitDialog();
        }
        CDialog* dialog = reinterpret_cast<CDialog*>(::GetWindowLongPtrA(hWnd, GWLP_USERDATA));
        return dialog ? dialog->OnMessage(message, wParam, lParam) : FALSE;
    } catch (const std::bad_alloc&) {
        reportStoppedCommand(hWnd, "there is not enough memory");
    } catch (const std::exception& error) {
        reportStoppedCommand(hWnd, error.what());
    } catch (...) {
        reportStoppedCommand(hWnd, "an unknown error");
    }
    return TRUE;
}

// A message goes to the first row of the map that names it; OK and Cancel, when no row does, to OnOK and OnCancel;
// anything else to the system's default processing.
INT_PTR CDialog::OnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    const bool isCommand = message == WM_COMMAND;
    if (isCommand && lParam != 0 && m_exchangingData) return TRUE;
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

    if (!isCommand || notification != BN_CLICKED || (id != IDOK && id != IDCANCEL)) return FALSE;
    if (id == IDOK)
        OnOK();
    else
        OnCancel();
    return TRUE;
}
