#include "CZerkonDlg.h"

#include "CAboutDlg.h"
#include "DialogRules.h"
#include "afx/CDataExchange.h"
#include "afx/CPaintDC.h"

#include <zerkon/distance.hpp>
#include <zerkon/dp_format.hpp>
#include <zerkon/dp_names.hpp>
#include <zerkon/pass.hpp>
#include <zerkon/station_settings.hpp>

#include <commdlg.h>

#include <cstddef>
#include <cstring>
#include <iterator>
#include <string>
#include <vector>

using namespace zerkon::ui;

char g_selectedPath[pathBufferSize];
char g_lastDir[pathBufferSize];

namespace {

const char profileSection[] = "Vantorix";
const char profileKey[] = "mru_dir";
const char defaultFolder[] = "C:\\";

// Process-wide like the paths, so only the fields written before each use change.
OPENFILENAMEA g_openFileName;
// The record without the fields that Windows 2000 added, as every version of the Open dialog accepts it.
constexpr DWORD openFileNameSize = offsetof(OPENFILENAMEA, lpTemplateName) + sizeof(LPCSTR);
#ifndef _WIN64
static_assert(openFileNameSize == 76, "the Open dialog record of 32-bit Windows is 76 bytes");
#endif
char g_fileTitle[pathBufferSize];

// What a pass that wrote the file still leaves for the user to know or do, a paragraph each; empty when all went well.
std::string whatWentAmiss(const zerkon::PassResult& result) {
    std::string news;
    const std::vector<zerkon::StationNumber>& left = result.counts.stationsBeyondLimits;
    if (!left.empty()) {
        std::vector<zerkon::StationSpan> stations;
        for (const zerkon::StationNumber station : left)
            stations.push_back({station, station});
        const bool one = left.size() == 1;
        news += std::string("\n\nGun station") + (one ? " " : "s ") + zerkon::stationListText(stations) +
                (one ? " was left as it was" : " were left as they were") + ": at this range " +
                (one ? "its" : "their") +
                " guns would point more than 10 degrees off the aircraft's axis, and the next run would no longer "
                "take them for forward guns. Check the range: a very short one turns wing guns far sideways, a very "
                "long one points guns far down.";
    } else if (result.counts.stationsAimed == 0) {
        news += "\n\nNo gun station was aimed: the file has none that can be aimed, so only the run comment changed. "
                "Check that this is the aircraft's DP file; the file as it was is kept as " +
                splitChosenPath(result.backupPath).name + ".";
    }
    if (result.warning.empty()) return news;
    const std::string compiled = zerkon::compiledName(g_selectedPath);
    if (::GetFileAttributesA(compiled.c_str()) != INVALID_FILE_ATTRIBUTES) { // it is still there
        const std::string compiledFile = splitChosenPath(compiled).name;
        news += "\n\nThe compiled copy " + compiledFile +
                " could not be deleted, so the game goes on using the old aim. Close the game and delete " +
                compiledFile + " yourself.";
    } else {
        news += "\n\nThe new file is in place, but something went wrong afterwards. If the game still shows the old "
                "aim, update the file again.";
    }
    return news + "\n\n(" + result.warning + ")";
}

} // namespace

const CDialog::MessageMapEntry CZerkonDlg::messageMap[] = {
    onMessage(WM_SYSCOMMAND, &CZerkonDlg::OnSysCommand),
    onMessage(WM_PAINT, &CZerkonDlg::OnPaint),
    onMessage(WM_QUERYDRAGICON, &CZerkonDlg::OnQueryDragIcon),
    onCommand(BN_CLICKED, IDC_UPDATE_DP, &CZerkonDlg::OnUpdateDp),
    onCommand(BN_CLICKED, IDC_SELECT_DP, &CZerkonDlg::OnSelectDp),
    onCommand(BN_CLICKED, IDC_ABOUT, &CZerkonDlg::OnAbout),
    onCommand(EN_CHANGE, IDC_RANGE, &CZerkonDlg::OnChangeRange),
    onCommand(EN_CHANGE, IDC_ELEVATION, &CZerkonDlg::OnChangeElevation),
};

CDialog::MessageMap CZerkonDlg::GetMessageMap() const { return {messageMap, std::size(messageMap)}; }

CZerkonDlg::CZerkonDlg()
    : CDialog(IDD), m_range(zerkon::kDefaultRangeText), m_elevation(zerkon::kDefaultElevationText),
      m_hIcon(::LoadIconA(::GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDR_MAINFRAME))) {}

void CZerkonDlg::DoDataExchange(CDataExchange* pDX) {
    DDX_Text(pDX, IDC_DP_FILE, m_dpFile);
    DDX_Text(pDX, IDC_RANGE, m_range);
    DDX_Text(pDX, IDC_ELEVATION, m_elevation);
}

BOOL CZerkonDlg::OnInitDialog() {
    CDialog::OnInitDialog();

    HMENU systemMenu = ::GetSystemMenu(m_hWnd, FALSE);
    char aboutMenuText[256];
    if (::LoadStringA(::GetModuleHandleA(nullptr), IDS_ABOUTBOX, aboutMenuText, sizeof aboutMenuText) > 0) {
        ::AppendMenuA(systemMenu, MF_SEPARATOR, 0, nullptr);
        ::AppendMenuA(systemMenu, MF_STRING, IDM_ABOUTBOX, aboutMenuText);
    }

    // A missing key gives the default. An empty value and any value as long as the default get a "." appended, the
    // first giving the current folder and the second the folder itself.
    const DWORD length =
        ::GetProfileStringA(profileSection, profileKey, defaultFolder, g_lastDir, sizeof g_lastDir - 1);
    if (length == 0 || length == sizeof defaultFolder - 1) std::strcat(g_lastDir, ".");

    // The focus goes to the first tab stop, the "&Quit" button.
    return TRUE;
}

INT_PTR CZerkonDlg::OnSysCommand(WPARAM command, LPARAM) {
    // The low four bits of a system command are the system's own.
    if ((command & 0xFFF0) != IDM_ABOUTBOX) return FALSE;
    OnAbout();
    return TRUE;
}

INT_PTR CZerkonDlg::OnPaint(WPARAM, LPARAM) {
    if (!::IsIconic(m_hWnd)) return FALSE;
    CPaintDC dc(m_hWnd);
    ::SendMessageA(m_hWnd, WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(static_cast<HDC>(dc)), 0);
    RECT client;
    ::GetClientRect(m_hWnd, &client);
    // Centred; a client smaller than the icon puts it at a negative origin, the division truncating toward zero.
    const int x = (client.right - client.left - ::GetSystemMetrics(SM_CXICON) + 1) / 2;
    const int y = (client.bottom - client.top - ::GetSystemMetrics(SM_CYICON) + 1) / 2;
    ::DrawIcon(dc, x, y, m_hIcon);
    return TRUE;
}

INT_PTR CZerkonDlg::OnQueryDragIcon(WPARAM, LPARAM) { return reinterpret_cast<INT_PTR>(m_hIcon); }

void CZerkonDlg::OnSelectDp() {
    HWND owner = ::GetActiveWindow();
    g_selectedPath[0] = '\0';

    static const char filter[] = "dp\0*.DP\0";
    g_openFileName.lStructSize = openFileNameSize;
    g_openFileName.hwndOwner = owner;
    g_openFileName.lpstrFilter = filter;
    g_openFileName.nFilterIndex = 0;
    g_openFileName.lpstrFile = g_selectedPath;
    g_openFileName.nMaxFile = sizeof g_selectedPath;
    g_openFileName.lpstrFileTitle = g_fileTitle;
    g_openFileName.nMaxFileTitle = sizeof g_fileTitle;
    g_openFileName.lpstrInitialDir = g_lastDir;
    g_openFileName.Flags = OFN_EXPLORER | OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST;

    if (::GetOpenFileNameA(&g_openFileName)) {
        const ChosenPath chosen = splitChosenPath(g_selectedPath);
        m_dpFile = chosen.name;
        // A path without a backslash names no folder, so the remembered one stays as it was.
        if (chosen.hasFolder) {
            copyCut(g_lastDir, sizeof g_lastDir, chosen.folder);
            ::WriteProfileStringA(profileSection, profileKey, g_lastDir);
        }
    } else {
        // A dialog that failed for want of room leaves the size it needed at the start of the buffer.
        g_selectedPath[0] = '\0';
        m_dpFile.clear();
    }
    UpdateData(FALSE);
}

void CZerkonDlg::OnUpdateDp() {
    UpdateData(TRUE);
    if (m_dpFile.empty() || g_selectedPath[0] == '\0') {
        ::MessageBoxA(m_hWnd, "No DP File Selected", "Zerkon", MB_ICONHAND);
        return;
    }
    const std::string name = splitChosenPath(g_selectedPath).name;
    // The distances are read as the command line reads them: feet, unless another unit follows the number.
    const zerkon::DistanceReading range = zerkon::readRange(m_range);
    const zerkon::DistanceReading elevation = zerkon::readDistance(m_elevation);
    std::string reason = !range.ok() ? "Range: " + range.error : !elevation.ok() ? "Elevation: " + elevation.error : "";
    zerkon::PassResult result;
    if (reason.empty()) {
        result = zerkon::harmonizeFile(g_selectedPath, {range.feet, elevation.feet, {}});
        if (!result.ok()) reason = result.reason;
    }
    if (!reason.empty()) {
        const std::string text = "The guns of " + name + " were not harmonized.\n\n" + reason;
        ::MessageBoxA(m_hWnd, text.c_str(), "Zerkon", MB_ICONHAND);
        return;
    }
    const std::string news = whatWentAmiss(result);
    if (news.empty())
        ::MessageBoxA(m_hWnd, name.c_str(), "Guns Harmonized", MB_ICONEXCLAMATION);
    else
        ::MessageBoxA(m_hWnd, (name + news).c_str(), "Zerkon", MB_ICONWARNING);
}

void CZerkonDlg::OnAbout() {
    CAboutDlg about;
    about.DoModal();
}

void CZerkonDlg::OnChangeRange() {
    UpdateData(TRUE);
    UpdateData(FALSE);
}

void CZerkonDlg::OnChangeElevation() {
    UpdateData(TRUE);
    UpdateData(FALSE);
}
