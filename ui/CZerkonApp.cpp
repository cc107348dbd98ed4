#include "CZerkonApp.h"

#include "CZerkonDlg.h"

#include <zerkon/replace_file.hpp>

BOOL CZerkonApp::InitInstance() {
    // A run that waits for another run on its folder shows the busy cursor: the dialog has no console to say so on.
    zerkon::setFolderWaitNotice([](const std::string&) { ::SetCursor(::LoadCursor(nullptr, IDC_WAIT)); });
    CZerkonDlg dlg;
    m_pMainWnd = &dlg;
    dlg.DoModal();
    m_pMainWnd = nullptr;

    // The dialog has ended, and with it the program: no message loop follows.
    return FALSE;
}
