// The application: the one object that the process entry starts, and whose main window owns the other dialogs.
#pragma once

#include <windows.h>

class CDialog;

class CWinApp {
public:
    CWinApp();
    virtual ~CWinApp();
    CWinApp(const CWinApp&) = delete;
    CWinApp& operator=(const CWinApp&) = delete;

    // Called once at start-up. There is no message loop of the application's own: the program ends when this returns.
    virtual BOOL InitInstance() { return FALSE; }

    CDialog* m_pMainWnd = nullptr;
};

CWinApp* AfxGetApp();

// The program's main routine, called by WinMain: runs the application object's start-up.
int AfxWinMain(HINSTANCE, HINSTANCE, LPSTR, int);
