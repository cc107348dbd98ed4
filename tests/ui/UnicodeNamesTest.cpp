// Names in any script, as players give their aircraft: the manifest linked with the program's resources makes every
// ANSI call UTF-8, so the real Open dialog hands such a name over whole and the pass opens it. The test itself makes
// and checks the files with the wide calls, which do not depend on the code page.
#include "CZerkonDlg.h"
#include "DialogDriver.h"
#include "resource.h"

#include <gtest/gtest.h>

#include <string>

using namespace uitest;

namespace {

std::string utf8(const std::wstring& text) {
    std::string bytes(text.size() * 4, '\0');
    bytes.resize(::WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), bytes.data(),
                                       static_cast<int>(bytes.size()), nullptr, nullptr));
    return bytes;
}

bool exists(const std::wstring& path) { return ::GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

TEST(UnicodeNames, TheProgramRunsWithTheUtf8CodePage) { EXPECT_EQ(::GetACP(), static_cast<UINT>(CP_UTF8)); }

TEST(UnicodeNames, ChosenInTheOpenDialogAndHarmonized) {
    wchar_t temp[MAX_PATH];
    ::GetTempPathW(MAX_PATH, temp);
    // The process number and the time: Wine reuses process numbers, and a failed run leaves its folder.
    const std::wstring folder = temp + (L"zerkon-ui-\u00dcn\u00efcode-" + std::to_wstring(::GetCurrentProcessId()) +
                                        L"-" + std::to_wstring(::GetTickCount()));
    const std::wstring hawk = L"\u042f\u0441\u0442\u0440\u0435\u0431"; // "Ястреб"
    std::wstring squadron, longName;
    while (squadron.size() < 120)
        squadron += hawk;
    while (longName.size() < 60)
        longName += hawk;
    const struct {
        const char* name;
        std::wstring subfolder; // inside `folder`
        std::wstring file;      // without ".dp"
    } cases[] = {
        {"Latin letters with marks and Cyrillic", L"", L"\u00dcn\u00efcode \u042f\u043a\u043e\u0432"}, // "Ünïcode Яков"
        // Some 230 UTF-16 units, but twice as many bytes in UTF-8: more than the 260 that MAX_PATH gives.
        {"a folder of 120 Cyrillic letters", squadron, longName},
    };
    ASSERT_TRUE(::CreateDirectoryW(folder.c_str(), nullptr));
    char savedFolder[MAX_PATH] = "";
    ::GetProfileStringA("Vantorix", "mru_dir", "", savedFolder, sizeof savedFolder);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const std::wstring where = c.subfolder.empty() ? folder : folder + L"\\" + c.subfolder;
        const std::wstring dp = where + L"\\" + c.file + L".dp", backup = where + L"\\" + c.file + L"_001.dp";
        ASSERT_LT(dp.size(), static_cast<std::size_t>(MAX_PATH));
        if (!c.subfolder.empty()) {
            ASSERT_TRUE(::CreateDirectoryW(where.c_str(), nullptr));
        }
        const char content[] = "[GUNSTATIONS]\r\ngunstation.0=1,0,0,0,850,0,0,0,0,0,0,1.5,-0.3,2.0,0,0,0,0\r\n";
        HANDLE file = ::CreateFileW(dp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
        ASSERT_NE(file, INVALID_HANDLE_VALUE);
        DWORD written = 0;
        ::WriteFile(file, content, sizeof content - 1, &written, nullptr);
        ::CloseHandle(file);

        CZerkonDlg dlg;
        runModal(dlg, [&](HWND dialog) {
            click(dialog, IDC_SELECT_DP);
            ASSERT_TRUE(chooseInOpenDialog(dialog, utf8(dp)));
            EXPECT_TRUE(waitUntil([&] {
                return windowText(::GetDlgItem(dialog, IDC_DP_FILE)) == utf8(c.file + L".dp");
            })) << "the file box shows \""
                << windowText(::GetDlgItem(dialog, IDC_DP_FILE)) << "\"";
            click(dialog, IDC_UPDATE_DP);
            const SeenMessageBox box = takeMessageBox(dialog);
            EXPECT_EQ(box.caption, "Guns Harmonized");
            EXPECT_EQ(box.text, utf8(c.file + L".dp"));
        });
        EXPECT_TRUE(exists(backup));
        EXPECT_EQ(std::string(g_lastDir), utf8(where)) << "the folder remembered";
        char stored[zerkon::ui::pathBufferSize] = "";
        ::GetProfileStringA("Vantorix", "mru_dir", "", stored, sizeof stored);
        EXPECT_EQ(std::string(stored), utf8(where)) << "the folder in the profile";
        ::DeleteFileW(backup.c_str());
        ::DeleteFileW(dp.c_str());
        if (!c.subfolder.empty()) ::RemoveDirectoryW(where.c_str());
    }
    ::WriteProfileStringA("Vantorix", "mru_dir", savedFolder[0] ? savedFolder : nullptr);
    ::RemoveDirectoryW(folder.c_str());
}

} // namespace
