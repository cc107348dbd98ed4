// The application object: runs the main dialog and ends when it closes.
#pragma once

#include "afx/CWinApp.h"

class CZerkonApp : public CWinApp {
public:
    BOOL InitInstance() override;
};
