// A modal dialog made from a template in the program's resources.
#pragma once

#include "CWnd.h"

class CDialog : public CWnd {
public:
    explicit CDialog(UINT templateId, CWnd* parent = nullptr) : m_templateId(templateId), m_parent(parent) {}

    // Creates the dialog, runs it until it ends and returns the result it ended with (-1 if it could not be made).
    virtual INT_PTR DoModal();
    void EndDialog(int result) { ::EndDialog(m_hWnd, result); }

protected:
    // Called when the dialog and its controls exist: fills the boxes from the members. TRUE lets the system put the
    // focus on the first tab stop.
    virtual BOOL OnInitDialog();
    // Called for the OK command: copies the boxes into the members and ends the dialog.
    virtual void OnOK();
    // Called for the Cancel command (the Escape key and the close box too): ends the dialog without copying.
    virtual void OnCancel();

    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;

private:
    static INT_PTR CALLBACK DialogProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam);

    UINT m_templateId;
    CWnd* m_parent;
};
