#include "CString.h"

#include "CWinApp.h"

BOOL CString::LoadString(UINT id) {
    // A string table entry is at most 4096 characters; LoadStringA cuts longer ones.
    char buffer[4097];
    int length = ::LoadStringA(AfxGetResourceHandle(), id, buffer, sizeof buffer);
    m_text.assign(buffer, length > 0 ? length : 0);
    return length > 0;
}
