#include "DialogDriver.h"

#include "afx/CDialog.h"
#include "afx/CWinApp.h"

#include <gtest/gtest.h>

#include <memory>
#include <thread>
#include <vector>

namespace uitest {

namespace {

// The enumeration callbacks are named functions: a lambda has the compiler's default calling convention, which on
// 32-bit Windows is not the CALLBACK one that the enumerations call.
BOOL CALLBACK collectWindow(HWND hWnd, LPARAM list) {
    reinterpret_cast<std::vector<HWND>*>(list)->push_back(hWnd);
    return TRUE;
}

std::vector<HWND> threadWindows(DWORD threadId) {
    std::vector<HWND> windows;
    ::EnumThreadWindows(threadId, collectWindow, reinterpret_cast<LPARAM>(&windows));
    return windows;
}

// The dialog shows on the thread that runs it; a top-level dialog with no owner is the one under test.
HWND findUnownedDialog(DWORD threadId) {
    for (HWND hWnd : threadWindows(threadId))
        if (::IsWindowVisible(hWnd) && className(hWnd) == "#32770" && !::GetWindow(hWnd, GW_OWNER)) return hWnd;
    return nullptr;
}

struct OwnedDialogSearch {
    HWND owner;
    const char* caption;
    HWND found;
};

BOOL CALLBACK matchOwnedDialog(HWND hWnd, LPARAM param) {
    auto* s = reinterpret_cast<OwnedDialogSearch*>(param);
    if (::GetWindow(hWnd, GW_OWNER) == s->owner && ::IsWindowVisible(hWnd) && className(hWnd) == "#32770" &&
        (!s->caption || windowText(hWnd) == s->caption)) {
        s->found = hWnd;
        return FALSE;
    }
    return TRUE;
}

HWND findOwnedDialog(HWND owner, const char* caption) {
    OwnedDialogSearch search{owner, caption, nullptr};
    ::EnumWindows(matchOwnedDialog, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

// Cancels every dialog that `owner` still owns, innermost first, then the owner itself.
void cancelAll(HWND owner) {
    for (int round = 0; round < 50 && ::IsWindow(owner); ++round) {
        HWND inner = owner;
        while (HWND next = findOwnedDialog(inner, nullptr))
            inner = next;
        ::PostMessageA(inner, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
        waitUntil([&] { return !::IsWindow(inner) || !::IsWindowVisible(inner); }, 2000);
    }
}

} // namespace

bool waitUntil(const std::function<bool()>& condition, int timeoutMs) {
    const DWORD start = ::GetTickCount();
    while (!condition()) {
        if (static_cast<int>(::GetTickCount() - start) > timeoutMs) return false;
        ::Sleep(20);
    }
    return true;
}

INT_PTR runModal(CDialog& dialog, const std::function<void(HWND)>& script) {
    // The program's dialogs belong to the application's main window; the tests stand in for the application.
    std::unique_ptr<CWinApp> standIn;
    if (!AfxGetApp()) standIn = std::make_unique<CWinApp>();
    CDialog* const mainWindow = AfxGetApp()->m_pMainWnd;
    if (!mainWindow) AfxGetApp()->m_pMainWnd = &dialog;
    const INT_PTR result = runModal([&] { return dialog.DoModal(); }, script);
    AfxGetApp()->m_pMainWnd = mainWindow;
    return result;
}

INT_PTR runModal(const std::function<INT_PTR()>& modal, const std::function<void(HWND)>& script) {
    const DWORD threadId = ::GetCurrentThreadId();
    std::thread driver([&] {
        HWND hWnd = nullptr;
        if (!waitUntil([&] { return (hWnd = findUnownedDialog(threadId)) != nullptr; }, 20000)) {
            ADD_FAILURE() << "the dialog did not show";
            return;
        }
        script(hWnd);
        cancelAll(hWnd);
    });
    const INT_PTR result = modal();
    driver.join();
    return result;
}

HWND waitForOwnedDialog(HWND owner, const char* caption, int timeoutMs) {
    HWND found = nullptr;
    waitUntil([&] { return (found = findOwnedDialog(owner, caption)) != nullptr; }, timeoutMs);
    return found;
}

std::string windowText(HWND hWnd) {
    // WM_GETTEXT rather than GetWindowText, which does not ask a window of another thread.
    const LRESULT length = ::SendMessageA(hWnd, WM_GETTEXTLENGTH, 0, 0);
    std::string text(static_cast<std::size_t>(length) + 1, '\0');
    const LRESULT copied = ::SendMessageA(hWnd, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()));
    text.resize(static_cast<std::size_t>(copied));
    return text;
}

std::string className(HWND hWnd) {
    char name[256] = "";
    ::GetClassNameA(hWnd, name, sizeof name);
    return name;
}

// The text of a message box: its Static child that carries text.
static std::string messageBoxText(HWND box) {
    for (HWND child = ::GetWindow(box, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT))
        if (className(child) == "Static" && !windowText(child).empty()) return windowText(child);
    return "";
}

SeenMessageBox takeMessageBox(HWND owner) {
    SeenMessageBox seen;
    HWND box = waitForOwnedDialog(owner);
    if (!box) return seen;
    // The box shows before its text is set on some systems; wait until it reads.
    waitUntil([&] { return !messageBoxText(box).empty(); }, 2000);
    seen.shown = true;
    seen.caption = windowText(box);
    seen.text = messageBoxText(box);
    for (HWND child = ::GetWindow(box, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT))
        if (className(child) == "Static" && (::GetWindowLongA(child, GWL_STYLE) & SS_TYPEMASK) == SS_ICON)
            seen.icon = reinterpret_cast<HICON>(::SendMessageA(child, STM_GETICON, 0, 0));
    ::PostMessageA(box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
    waitUntil([&] { return !::IsWindow(box); });
    return seen;
}

void click(HWND dialog, int id) { ::PostMessageA(::GetDlgItem(dialog, id), BM_CLICK, 0, 0); }

bool chooseInOpenDialog(HWND owner, const std::string& path) {
    HWND open = waitForOwnedDialog(owner);
    if (!open) return false;
    HWND nameBox = ::GetDlgItem(open, 0x47C);
    if (!nameBox) nameBox = ::GetDlgItem(open, 0x480);
    if (!nameBox) return false;
    if (HWND edit = ::FindWindowExA(nameBox, nullptr, "Edit", nullptr)) nameBox = edit;
    ::SendMessageA(nameBox, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(path.c_str()));
    ::PostMessageA(open, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
    return waitUntil([&] { return !::IsWindow(open); });
}

bool cancelOpenDialog(HWND owner) {
    HWND open = waitForOwnedDialog(owner);
    if (!open) return false;
    ::PostMessageA(open, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
    return waitUntil([&] { return !::IsWindow(open); });
}

void typeInto(HWND edit, const std::string& text, bool replace) {
    std::string expected = windowText(edit);
    DWORD start = 0, end = 0;
    ::SendMessageA(edit, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    if (replace) {
        ::PostMessageA(edit, EM_SETSEL, 0, -1);
        start = 0;
        end = static_cast<DWORD>(expected.size());
    }
    // What the box will show: the selection replaced by the typing, a backspace taking a character back.
    expected.erase(start, end - start);
    std::size_t caret = start;
    for (char c : text) {
        if (c == '\b') {
            if (end == start && caret > 0) expected.erase(--caret, 1);
        } else {
            expected.insert(caret++, 1, c);
        }
        end = start;
        ::PostMessageA(edit, WM_CHAR, static_cast<unsigned char>(c), 1);
    }
    EXPECT_TRUE(waitUntil([&] { return windowText(edit) == expected; }, 5000))
        << "the box shows \"" << windowText(edit) << "\" instead of \"" << expected << "\"";
}

void pressKey(HWND target, UINT virtualKey) {
    ::PostMessageA(target, WM_KEYDOWN, virtualKey, 1);
    ::PostMessageA(target, WM_KEYUP, virtualKey, 0xC0000001);
}

} // namespace uitest
