// One run of data exchange between a dialog's boxes and its members, and the text binding that takes part in it.
#pragma once

#include <windows.h>

#include <string>

class CDialog;

class CDataExchange {
public:
    CDialog* m_pDlgWnd;
    BOOL m_bSaveAndValidate; // TRUE: boxes to members; FALSE: members to boxes
};

// Binds the text of control `id` to `value`, with no validation and no length limit.
void DDX_Text(CDataExchange* pDX, int id, std::string& value);
