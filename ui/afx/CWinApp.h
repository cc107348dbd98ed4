// The application: the one object that the process entry starts and that runs the main window.
#pragma once

#include <windows.h>

#include <cstddef>
#include <string>

class CWnd;

class CWinApp {
public:
    // Without a name the application takes the name of its executable file.
    explicit CWinApp(const char* appName = nullptr);
    CWinApp(const CWinApp&) = delete;
    CWinApp& operator=(const CWinApp&) = delete;
    virtual ~CWinApp();

    // Called once at start-up. FALSE ends the program at once, with no message loop.
    virtual BOOL InitInstance() { return TRUE; }
    virtual int Run();
    virtual int ExitInstance() { return 0; }

    BOOL Enable3dControls();
    void LoadStdProfileSettings(UINT maxRecentFiles = 4);

    // Runs the handler of a menu or accelerator command; FALSE when the application has none.
    BOOL OnCmdMsg(UINT id);

    HINSTANCE m_hInstance = nullptr;
    CWnd* m_pMainWnd = nullptr;
    std::string m_appName;
    UINT m_maxRecentFiles = 0;

    struct CommandEntry {
        UINT id;
        void (CWinApp::*handler)();
    };

protected:
    // Called for the Help command.
    void OnHelp();
    virtual const CommandEntry* GetCommandMap(std::size_t& count) const;
};

CWinApp* AfxGetApp();
CWnd* AfxGetMainWnd();
HINSTANCE AfxGetResourceHandle();
HINSTANCE AfxFindResourceHandle(const char* name, const char* type);

// The program's main routine, called by WinMain: sets up the application object and runs it.
int AfxWinMain(HINSTANCE hInstance, HINSTANCE hPrevInstance, LPSTR commandLine, int showCommand);
