// The process entry of ZERKON.EXE and its one application object.
#include "CZerkonApp.h"

CZerkonApp theApp;

int WINAPI WinMain(HINSTANCE hInstance, HINSTANCE hPrevInstance, LPSTR commandLine, int showCommand) {
    return AfxWinMain(hInstance, hPrevInstance, commandLine, showCommand);
}
