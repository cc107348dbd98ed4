// The About box: the icon, the program's name and version, and an OK button.
#pragma once

#include "afx/CDialog.h"
#include "resource.h"

class CAboutDlg : public CDialog {
public:
    enum { IDD = IDD_ABOUTBOX };

    CAboutDlg() : CDialog(IDD) {}
};
