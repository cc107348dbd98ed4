#include "CWinApp.h"

#include "CWnd.h"

namespace {
CWinApp* theApplication = nullptr;
}

CWinApp::CWinApp(const char* appName) : m_appName(appName ? appName : "") { theApplication = this; }

CWinApp::~CWinApp() {
    if (theApplication == this) theApplication = nullptr;
}

int CWinApp::Run() {
    MSG msg;
    while (::GetMessageA(&msg, nullptr, 0, 0) > 0) {
        ::TranslateMessage(&msg);
        ::DispatchMessageA(&msg);
    }
    return ExitInstance();
}

// Every Windows since 95 draws the controls of a program made for it three-dimensionally, so nothing is left to
// switch on.
BOOL CWinApp::Enable3dControls() { return TRUE; }

// The recent-file list is never filled nor shown, so only its size is kept.
void CWinApp::LoadStdProfileSettings(UINT maxRecentFiles) { m_maxRecentFiles = maxRecentFiles; }

BOOL CWinApp::OnCmdMsg(UINT id) {
    std::size_t count = 0;
    const CommandEntry* map = GetCommandMap(count);
    for (std::size_t i = 0; i < count; ++i)
        if (map[i].id == id) {
            (this->*map[i].handler)();
            return TRUE;
        }
    return FALSE;
}

// No help file ships with the program, so there is nothing to open.
void CWinApp::OnHelp() {}

const CWinApp::CommandEntry* CWinApp::GetCommandMap(std::size_t& count) const {
    count = 0;
    return nullptr;
}

CWinApp* AfxGetApp() { return theApplication; }

CWnd* AfxGetMainWnd() { return theApplication ? theApplication->m_pMainWnd : nullptr; }

HINSTANCE AfxGetResourceHandle() { return ::GetModuleHandleA(nullptr); }

HINSTANCE AfxFindResourceHandle(const char*, const char*) { return AfxGetResourceHandle(); }

int AfxWinMain(HINSTANCE hInstance, HINSTANCE, LPSTR, int) {
    CWinApp* app = AfxGetApp();
    if (!app) return -1;
    app->m_hInstance = hInstance;
    if (app->m_appName.empty()) {
        char path[MAX_PATH] = "";
        ::GetModuleFileNameA(hInstance, path, MAX_PATH);
        std::string name = path;
        name = name.substr(name.find_last_of("\\/") + 1);
        app->m_appName = name.substr(0, name.find_last_of('.'));
    }
    if (!app->InitInstance()) return app->ExitInstance();
    return app->Run();
}
