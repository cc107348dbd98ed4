#include "CZerkonApp.h"

#include "CZerkonDlg.h"

#include <iterator>

namespace {
constexpr UINT ID_HELP = 0xE146;
}

const CWinApp::CommandEntry CZerkonApp::commandMap[] = {
    {ID_HELP, &CZerkonApp::OnHelp}, // the library's own handler
};

const CWinApp::CommandEntry* CZerkonApp::GetCommandMap(std::size_t& count) const {
    count = std::size(commandMap);
    return commandMap;
}

BOOL CZerkonApp::InitInstance() {
    Enable3dControls();
    LoadStdProfileSettings(4);

    CZerkonDlg dlg;
    m_pMainWnd = &dlg;
    dlg.DoModal();
    m_pMainWnd = nullptr;

    // The dialog has ended, and with it the program: no message loop follows.
    return FALSE;
}
