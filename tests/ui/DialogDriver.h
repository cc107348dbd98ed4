// Drives the program's real windows from a second thread, with the messages a user's keys and clicks produce.
#pragma once

#include <windows.h>

#include <functional>
#include <string>

class CDialog;

namespace uitest {

// Runs `dialog` modally on this thread while `script` drives it from a second thread. `script` receives the
// dialog's window once it shows. Whatever the script leaves open is cancelled when it returns, so a failed test
// cannot leave the dialog running. Returns the dialog's result.
INT_PTR runModal(CDialog& dialog, const std::function<void(HWND)>& script);
// The same, with `modal` running the dialog (the application's start-up, say).
INT_PTR runModal(const std::function<INT_PTR()>& modal, const std::function<void(HWND)>& script);

// Polls `condition` until it holds or `timeoutMs` passes; returns whether it held.
bool waitUntil(const std::function<bool()>& condition, int timeoutMs = 10000);

// The visible dialog (class #32770) owned by `owner`, waited for; null when none shows in time. With a caption,
// only a dialog of that caption counts.
HWND waitForOwnedDialog(HWND owner, const char* caption = nullptr, int timeoutMs = 20000);

std::string windowText(HWND hWnd);
std::string className(HWND hWnd);

struct SeenMessageBox {
    bool shown = false;
    std::string caption;
    std::string text;
    HICON icon = nullptr; // the icon it shows, to compare with LoadIcon(nullptr, IDI_HAND) and the like
};

// Waits for a message box owned by `owner`, reads it and closes it with its OK button.
SeenMessageBox takeMessageBox(HWND owner);

// Clicks a button of `dialog`, as the mouse would.
void click(HWND dialog, int id);

// Chooses `path` in the Open dialog owned by `owner`: types it into the file name box and presses the Open button.
bool chooseInOpenDialog(HWND owner, const std::string& path);
bool cancelOpenDialog(HWND owner);

// Types `text` into the edit box with the keyboard at its caret, or over all of its text when `replace` is set;
// "\b" is the backspace key. Returns once the box shows the result.
void typeInto(HWND edit, const std::string& text, bool replace);
// Presses a key whose message goes through the dialog manager (Enter, Escape, Tab) while `target` has the focus.
void pressKey(HWND target, UINT virtualKey);

} // namespace uitest
