// The dialogs as the user meets them: the templates, the real main dialog made from its template, and the About box.
#include "CZerkonApp.h"
#include "CZerkonDlg.h"
#include "DialogDriver.h"
#include "DialogTemplate.h"
#include "resource.h"

#include <gtest/gtest.h>

#include <cctype>
#include <tuple>
#include <vector>

using namespace uitest;

// Found by argument lookup for RECT, which lives in the global namespace.
bool operator==(const RECT& a, const RECT& b) {
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

std::ostream& operator<<(std::ostream& out, const RECT& r) {
    return out << "(" << r.left << "," << r.top << ")-(" << r.right << "," << r.bottom << ")";
}

namespace {

constexpr DWORD pushButton = WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON;
constexpr DWORD editBox = WS_CHILD | WS_VISIBLE | WS_BORDER | WS_TABSTOP | ES_AUTOHSCROLL | ES_LEFT;
constexpr DWORD label = WS_CHILD | WS_VISIBLE | WS_GROUP | SS_LEFT;
constexpr int noId = 0xFFFF;

struct Control {
    int id;
    const char* className;
    const char* text; // in the template
    int x, y, cx, cy;
    DWORD style;
};

const Control mainControls[] = {
    {IDCANCEL, "Button", "&Quit", 85, 5, 50, 14, pushButton},
    {IDC_SELECT_DP, "Button", "Select DP File", 11, 24, 125, 22, pushButton},
    {IDC_UPDATE_DP, "Button", "Update DP File", 13, 106, 125, 22, pushButton},
    {IDC_ABOUT, "Button", "About", 10, 5, 50, 14, pushButton},
    {IDC_RANGE, "Edit", "", 15, 83, 40, 14, editBox},
    {IDC_ELEVATION, "Edit", "", 90, 83, 40, 14, editBox},
    {noId, "Static", "Range (feet)", 15, 73, 60, 8, label},
    {noId, "Static", "Elevation (feet)", 85, 73, 60, 8, label},
    {IDC_DP_FILE, "Edit", "", 17, 52, 116, 16, editBox},
};

const Control aboutControls[] = {
    {noId, "Static", "#128", 11, 17, 20, 20, WS_CHILD | WS_VISIBLE | SS_ICON},
    {noId, "Static", "Zerkon Version 1.2", 40, 10, 119, 8, label},
    {noId, "Static", "Copyright (C) 2026 Zerkon", 40, 25, 119, 8, label},
    {IDOK, "Button", "OK", 176, 6, 32, 14, WS_CHILD | WS_VISIBLE | WS_GROUP | WS_TABSTOP | BS_DEFPUSHBUTTON},
};

struct Dialog {
    UINT id;
    DWORD style;
    int x, y, cx, cy;
    const char* caption;
    const Control* controls;
    std::size_t count;
};

const Dialog dialogs[] = {
    {IDD_ZERKON_DIALOG, WS_POPUP | WS_VISIBLE | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_SETFONT, 0, 0, 147, 140,
     "Zerkon", mainControls, std::size(mainControls)},
    {IDD_ABOUTBOX, WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_SETFONT, 34, 22, 217, 55, "About Zerkon",
     aboutControls, std::size(aboutControls)},
};

bool sameClass(std::string a, std::string b) {
    for (auto* s : {&a, &b})
        for (char& c : *s)
            c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return a == b;
}

// The dialog manager converts the origin and the size each on its own, so the size is not right minus left.
RECT dialogUnitsToPixels(HWND dialog, int x, int y, int cx, int cy) {
    RECT origin{x, y, 0, 0};
    RECT size{cx, cy, 0, 0};
    ::MapDialogRect(dialog, &origin);
    ::MapDialogRect(dialog, &size);
    return RECT{origin.left, origin.top, origin.left + size.left, origin.top + size.top};
}

RECT rectInParent(HWND control) {
    RECT rect;
    ::GetWindowRect(control, &rect);
    ::MapWindowPoints(HWND_DESKTOP, ::GetParent(control), reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

// How wide a control's text is drawn in the control's own font.
LONG textWidth(HWND control) {
    const std::string text = windowText(control);
    HDC dc = ::GetDC(control);
    const HGDIOBJ previous = ::SelectObject(dc, reinterpret_cast<HGDIOBJ>(::SendMessageA(control, WM_GETFONT, 0, 0)));
    SIZE size{};
    ::GetTextExtentPoint32A(dc, text.c_str(), static_cast<int>(text.size()), &size);
    ::SelectObject(dc, previous);
    ::ReleaseDC(control, dc);
    return size.cx;
}

// Checks the children of a real dialog against the table, in creation order, which is the template's order.
// A picture control takes the size of its icon, so only its origin and its icon are checked.
void expectControls(HWND dialog, const Control* controls, std::size_t count, const std::vector<std::string>& texts) {
    std::size_t i = 0;
    for (HWND child = ::GetWindow(dialog, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT), ++i) {
        ASSERT_LT(i, count) << "more controls than the template lists";
        const Control& c = controls[i];
        SCOPED_TRACE(testing::Message() << "control " << i + 1 << " (" << c.text << ")");
        EXPECT_EQ(::GetDlgCtrlID(child) & 0xFFFF, c.id);
        EXPECT_TRUE(sameClass(className(child), c.className)) << className(child);
        const RECT expected = dialogUnitsToPixels(dialog, c.x, c.y, c.cx, c.cy);
        const RECT actual = rectInParent(child);
        if ((c.style & SS_TYPEMASK) == SS_ICON && c.className == std::string("Static")) {
            EXPECT_EQ(actual.left, expected.left);
            EXPECT_EQ(actual.top, expected.top);
            EXPECT_NE(::SendMessageA(child, STM_GETICON, 0, 0), 0) << "no icon shown";
        } else {
            EXPECT_EQ(windowText(child), texts[i]);
            EXPECT_EQ(actual, expected);
        }
        EXPECT_TRUE(::IsWindowVisible(child));
        if (sameClass(c.className, "Static") && (c.style & SS_TYPEMASK) != SS_ICON) {
            EXPECT_LE(textWidth(child), actual.right - actual.left) << "the text is cut";
        }
    }
    EXPECT_EQ(i, count);
}

} // namespace

TEST(DialogTemplates, HoldExactlyTheListedStylesPositionsAndControls) {
    for (const Dialog& d : dialogs) {
        SCOPED_TRACE(d.caption);
        const DialogTemplate t = loadDialogTemplate(d.id);
        // No extended style, menu or class of its own, and the font every dialog of the program has.
        EXPECT_EQ(
            std::tie(t.style, t.exStyle, t.x, t.y, t.cx, t.cy, t.menu, t.className, t.caption, t.pointSize, t.face),
            std::make_tuple(d.style, DWORD{0}, d.x, d.y, d.cx, d.cy, "", "", d.caption, 8, "MS Sans Serif"));
        ASSERT_EQ(t.items.size(), d.count);
        for (std::size_t i = 0; i < d.count; ++i) {
            const Control& c = d.controls[i];
            const TemplateItem& item = t.items[i];
            SCOPED_TRACE(testing::Message() << "control " << i + 1 << " (" << c.text << ")");
            EXPECT_TRUE(sameClass(item.className, c.className)) << item.className;
            EXPECT_EQ(std::tie(item.id, item.text, item.x, item.y, item.cx, item.cy, item.style, item.exStyle),
                      std::make_tuple(c.id, c.text, c.x, c.y, c.cx, c.cy, c.style, DWORD{0}));
        }
    }
}

TEST(MainDialog, OpensFromItsTemplateAsListed) {
    CZerkonDlg dlg;
    runModal(dlg, [&](HWND dialog) {
        EXPECT_EQ(windowText(dialog), "Zerkon");
        const LONG style = ::GetWindowLongA(dialog, GWL_STYLE);
        EXPECT_EQ(style & (WS_MINIMIZEBOX | WS_MAXIMIZEBOX), 0);
        EXPECT_TRUE(style & WS_SYSMENU);
        RECT client;
        ::GetClientRect(dialog, &client);
        EXPECT_EQ(client, dialogUnitsToPixels(dialog, 0, 0, 147, 140));

        // The boxes show the members' first values: the range box's change cannot have emptied the elevation.
        expectControls(
            dialog, mainControls, std::size(mainControls),
            {"&Quit", "Select DP File", "Update DP File", "About", "900", "1", "Range (feet)", "Elevation (feet)", ""});

        // The focus is placed as the dialog is activated, which on a loaded X server can come a moment after it shows.
        const auto focus = [dialog] {
            GUITHREADINFO thread{};
            thread.cbSize = sizeof thread;
            ::GetGUIThreadInfo(::GetWindowThreadProcessId(dialog, nullptr), &thread);
            return thread.hwndFocus;
        };
        waitUntil([&] { return focus() == ::GetDlgItem(dialog, IDCANCEL); }, 5000);
        EXPECT_EQ(focus(), ::GetDlgItem(dialog, IDCANCEL)) << "the focus starts on \"&Quit\"";

        const int tabOrder[] = {IDCANCEL,  IDC_SELECT_DP, IDC_UPDATE_DP, IDC_ABOUT,
                                IDC_RANGE, IDC_ELEVATION, IDC_DP_FILE,   IDCANCEL};
        HWND at = ::GetDlgItem(dialog, IDCANCEL);
        for (std::size_t i = 1; i < std::size(tabOrder); ++i) {
            at = ::GetNextDlgTabItem(dialog, at, FALSE);
            EXPECT_EQ(::GetDlgCtrlID(at), tabOrder[i]) << "tab stop " << i + 1;
        }
        // No control carries the OK identity, so Enter in a box becomes the OK command.
        EXPECT_EQ(::GetDlgItem(dialog, IDOK), nullptr);

        HMENU menu = ::GetSystemMenu(dialog, FALSE);
        const int count = ::GetMenuItemCount(menu);
        ASSERT_GE(count, 2);
        char text[64] = "";
        MENUITEMINFOA item{};
        item.cbSize = sizeof item;
        item.fMask = MIIM_FTYPE | MIIM_ID | MIIM_STRING;
        item.dwTypeData = text;
        item.cch = sizeof text;
        ASSERT_TRUE(::GetMenuItemInfoA(menu, count - 1, TRUE, &item));
        EXPECT_EQ(item.wID, static_cast<UINT>(IDM_ABOUTBOX));
        EXPECT_STREQ(text, "&About ZERKON...");
        item.dwTypeData = nullptr;
        item.cch = 0;
        ASSERT_TRUE(::GetMenuItemInfoA(menu, count - 2, TRUE, &item));
        EXPECT_TRUE(item.fType & MFT_SEPARATOR);

        EXPECT_EQ(reinterpret_cast<HICON>(::SendMessageA(dialog, WM_QUERYDRAGICON, 0, 0)),
                  ::LoadIconA(::GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDR_MAINFRAME)));
    });
}

TEST(AboutBox, OpensFromTheButtonAndTheSystemMenuAndClosesWithEnterOrEscape) {
    const struct {
        const char* name;
        bool fromSystemMenu;
        UINT key;
        WPARAM systemCommand;
    } cases[] = {
        {"button, Enter", false, VK_RETURN, 0},
        {"button, Escape", false, VK_ESCAPE, 0},
        {"system menu, Enter", true, VK_RETURN, IDM_ABOUTBOX},
        {"system menu, Escape", true, VK_ESCAPE, IDM_ABOUTBOX},
        // The low four bits of a system command are the system's own; the item is recognised without them.
        {"system menu with low bits, Escape", true, VK_ESCAPE, IDM_ABOUTBOX | 0x3},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        CZerkonDlg dlg;
        const INT_PTR result = runModal(dlg, [&](HWND dialog) {
            if (c.fromSystemMenu)
                ::PostMessageA(dialog, WM_SYSCOMMAND, c.systemCommand, 0);
            else
                click(dialog, IDC_ABOUT);
            HWND about = waitForOwnedDialog(dialog, "About Zerkon");
            ASSERT_NE(about, nullptr) << "no About box owned by the main dialog";
            EXPECT_FALSE(::IsWindowEnabled(dialog)) << "the main dialog takes no input while the About box runs";
            expectControls(about, aboutControls, std::size(aboutControls),
                           {"", "Zerkon Version 1.2", "Copyright (C) 2026 Zerkon", "OK"});
            EXPECT_EQ(::GetWindowLongA(::GetDlgItem(about, IDOK), GWL_STYLE) & BS_TYPEMASK, BS_DEFPUSHBUTTON);

            pressKey(::GetDlgItem(about, IDOK), c.key);
            EXPECT_TRUE(waitUntil([&] { return !::IsWindow(about); })) << "the About box stays open";
            EXPECT_TRUE(::IsWindow(dialog)) << "closing the About box closed the main dialog";
            EXPECT_TRUE(waitUntil([&] { return ::IsWindowEnabled(dialog) != FALSE; }));
        });
        EXPECT_EQ(result, IDCANCEL);
    }
}

TEST(Application, StartUpRunsTheMainDialogAndLeavesNoMessageLoop) {
    CZerkonApp app;
    HWND seen = nullptr;
    const INT_PTR result = runModal([&] { return static_cast<INT_PTR>(app.InitInstance()); },
                                    [&](HWND dialog) {
                                        seen = dialog;
                                        EXPECT_EQ(windowText(dialog), "Zerkon");
                                        // The About box belongs to the main window the start-up has set.
                                        click(dialog, IDC_ABOUT);
                                        HWND about = waitForOwnedDialog(dialog, "About Zerkon");
                                        EXPECT_NE(about, nullptr);
                                        pressKey(::GetDlgItem(about, IDOK), VK_ESCAPE);
                                        click(dialog, IDCANCEL);
                                    });
    EXPECT_NE(seen, nullptr);
    EXPECT_EQ(result, FALSE) << "InitInstance returns 0 so no message loop follows";
    EXPECT_EQ(app.m_pMainWnd, nullptr);
}
