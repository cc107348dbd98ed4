#include "CDataExchange.h"

#include "CDialog.h"

namespace {
std::string windowText(HWND hWnd) {
    std::string text(static_cast<std::size_t>(::GetWindowTextLengthA(hWnd)) + 1, '\0');
    text.resize(static_cast<std::size_t>(::GetWindowTextA(hWnd, text.data(), static_cast<int>(text.size()))));
    return text;
}
} // namespace

void DDX_Text(CDataExchange* pDX, int id, std::string& value) {
    HWND box = ::GetDlgItem(pDX->m_pDlgWnd->m_hWnd, id);
    if (pDX->m_bSaveAndValidate) {
        value = windowText(box);
        return;
    }
    // Rewriting a box with its own text would move its caret to the start under the user's typing.
    if (windowText(box) != value) ::SetWindowTextA(box, value.c_str());
}
