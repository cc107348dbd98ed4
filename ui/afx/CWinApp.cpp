#include "CWinApp.h"

namespace {
CWinApp* theApplication = nullptr;
}

CWinApp::CWinApp() { theApplication = this; }

CWinApp::~CWinApp() {
    if (theApplication == this) theApplication = nullptr;
}

CWinApp* AfxGetApp() { return theApplication; }

int AfxWinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    if (!theApplication) return -1;
    theApplication->InitInstance();
    return 0;
}
