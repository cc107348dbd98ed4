// One run of data exchange between a window's boxes and its members, and the text binding that takes part in it.
#pragma once

#include <windows.h>

#include "CString.h"

class CWnd;

class CDataExchange {
public:
    CDataExchange(CWnd* dlgWnd, BOOL saveAndValidate) : m_bSaveAndValidate(saveAndValidate), m_pDlgWnd(dlgWnd) {}

    BOOL m_bSaveAndValidate; // TRUE: boxes to members; FALSE: members to boxes
    CWnd* m_pDlgWnd;
};

// Binds the text of control `id` to `value`, with no validation and no length limit.
void DDX_Text(CDataExchange* pDX, int id, CString& value);
