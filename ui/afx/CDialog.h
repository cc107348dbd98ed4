// A modal dialog made from a template in the program's resources. The dialog procedure finds the object once, when
// the dialog is created, and routes each message through the derived class's message map, then OK and Cancel to OnOK
// and OnCancel; a message none of them takes gets the system's default processing. An exception from a handler ends
// at the dialog procedure, in a message box that gives its reason.
#pragma once

#include <windows.h>

#include <cstddef>

class CDataExchange;

class CDialog {
public:
    explicit CDialog(UINT templateId) : m_templateId(templateId) {}
    CDialog(const CDialog&) = delete;
    CDialog& operator=(const CDialog&) = delete;
    virtual ~CDialog() = default;

    // Creates the dialog, runs it until it ends and returns the result it ended with (-1 if it could not be made).
    // The dialog belongs to the application's main window, unless it is that window.
    INT_PTR DoModal();

    // TRUE copies each bound box into its member, FALSE each member into its box, in the data-exchange order.
    // While either runs, notifications from the dialog's controls reach no handler.
    void UpdateData(BOOL saveAndValidate = TRUE);

    HWND m_hWnd = nullptr; // while the dialog runs

protected:
    // One row of a message map: a message, or a control's notification and identifier for WM_COMMAND, and the
    // handler. A message handler answers as a dialog procedure does: FALSE leaves the message to the default
    // processing.
    struct MessageMapEntry {
        UINT message;
        UINT notification; // WM_COMMAND only
        UINT id;           // WM_COMMAND only
        INT_PTR (CDialog::*onMessage)(WPARAM, LPARAM);
        void (CDialog::*onCommand)();
    };
    struct MessageMap {
        const MessageMapEntry* entries;
        std::size_t count;
    };

    // Rows of a derived class's map. Its handlers are stored as CDialog's, which is sound since CDialog is a plain
    // base of that class.
    template <class Dialog>
    static constexpr MessageMapEntry onMessage(UINT message, INT_PTR (Dialog::*handler)(WPARAM, LPARAM)) {
        return {message, 0, 0, static_cast<INT_PTR (CDialog::*)(WPARAM, LPARAM)>(handler), nullptr};
    }
    template <class Dialog>
    static constexpr MessageMapEntry onCommand(UINT notification, UINT id, void (Dialog::*handler)()) {
        return {WM_COMMAND, notification, id, nullptr, static_cast<void (CDialog::*)()>(handler)};
    }

    virtual MessageMap GetMessageMap() const { return {nullptr, 0}; }
    // Binds boxes to members with DDX_Text; called by UpdateData.
    virtual void DoDataExchange(CDataExchange*) {}
    // Called when the dialog and its controls exist: fills the boxes from the members. TRUE lets the system put the
    // focus on the first tab stop.
    virtual BOOL OnInitDialog();
    // The commands a map does not take: OK (the Enter key too) copies the boxes into the members and ends the
    // dialog; Cancel (the Escape key and the close box too) ends it without copying.
    void OnOK();
    void OnCancel();

private:
    static INT_PTR CALLBACK DialogProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam);
    INT_PTR OnMessage(UINT message, WPARAM wParam, LPARAM lParam);

    UINT m_templateId;
    bool m_exchangingData = false;
};
