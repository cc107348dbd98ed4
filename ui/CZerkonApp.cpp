#include "CZerkonApp.h"

#include "CZerkonDlg.h"

BOOL CZerkonApp::InitInstance() {
    CZerkonDlg dlg;
    m_pMainWnd = &dlg;
    dlg.DoModal();
    m_pMainWnd = nullptr;

    // The dialog has ended, and with it the program: no message loop follows.
    return FALSE;
}
