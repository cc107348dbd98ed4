// The main dialog's commands, driven as a user drives them: the real Open dialog, the boxes, the buttons and the
// message boxes, with the DP file on disk and the profile of the Wine prefix checked afterwards.
#include "CZerkonDlg.h"
#include "DialogDriver.h"
#include "resource.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <new>
#include <sstream>
#include <string>

using namespace uitest;

// The injected fault: once armed, the given allocation from now on, counted on the dialog's thread only, fails.
namespace {
std::atomic<DWORD> failingThread{0};
std::atomic<int> allocationsBeforeFailure{0};
} // namespace

// Takes its memory from malloc as the library's own does, so the library's operator delete frees it.
void* operator new(std::size_t size) {
    if (failingThread == ::GetCurrentThreadId() && --allocationsBeforeFailure == 0) {
        failingThread = 0;
        throw std::bad_alloc();
    }
    if (void* memory = std::malloc(size ? size : 1)) return memory;
    throw std::bad_alloc();
}

namespace {

const char section[] = "Vantorix";
const char key[] = "mru_dir";

const std::string originalDp = "[GENERAL]\r\n"
                               "name=test plane\r\n"
                               "[GUNSTATIONS]\r\n"
                               "gunstation.0=1,0,0,0,850,0,0,0,0,0,0,1.5,-0.3,2.0,0,0,0,0\r\n";
// The same station aimed at 900 feet and 1 foot of elevation.
const std::string aimedStation = "gunstation.0=1,0,0,0,850,0,0,0,0,0,0,1.500,-0.300,2.000,-0.31448,0,-0.31559,0\r\n";

std::string readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

void writeFile(const std::string& path, const std::string& content) {
    std::ofstream(path, std::ios::binary) << content;
}

bool exists(const std::string& path) { return ::GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

std::string profileValue(const char* absent = "<absent>") {
    char value[300] = "";
    ::GetProfileStringA(section, key, absent, value, sizeof value);
    return value;
}

// Windows paths compare without regard to case.
std::string upper(std::string s) {
    ::CharUpperBuffA(s.data(), static_cast<DWORD>(s.size()));
    return s;
}

class Commands : public testing::Test {
protected:
    void SetUp() override {
        savedProfile = profileValue();
        // Each test starts as a fresh process would: nothing chosen.
        g_selectedPath[0] = '\0';
        g_lastDir[0] = '\0';
        char temp[MAX_PATH];
        ::GetTempPathA(MAX_PATH, temp);
        static int counter = 0;
        folder = std::string(temp) + "zerkon-ui-" + std::to_string(::GetCurrentProcessId()) + "-" +
                 std::to_string(++counter);
        ::CreateDirectoryA(folder.c_str(), nullptr);
        plane = folder + "\\plane.dp";
        writeFile(plane, originalDp);
        writeFile(folder + "\\plane.cdp", "compiled");
    }

    void TearDown() override {
        if (savedProfile == "<absent>")
            ::WriteProfileStringA(section, key, nullptr);
        else
            ::WriteProfileStringA(section, key, savedProfile.c_str());
        WIN32_FIND_DATAA found;
        HANDLE search = ::FindFirstFileA((folder + "\\*").c_str(), &found);
        if (search != INVALID_HANDLE_VALUE) {
            do
                ::DeleteFileA((folder + "\\" + found.cFileName).c_str());
            while (::FindNextFileA(search, &found));
            ::FindClose(search);
        }
        ::RemoveDirectoryA(folder.c_str());
    }

    // Presses "Select DP File" and chooses `path` in the Open dialog.
    void select(HWND dialog, const std::string& path) {
        click(dialog, IDC_SELECT_DP);
        ASSERT_TRUE(chooseInOpenDialog(dialog, path)) << "could not choose " << path << " in the Open dialog";
        const std::string name = path.substr(path.rfind('\\') + 1);
        EXPECT_TRUE(waitUntil([&] { return windowText(::GetDlgItem(dialog, IDC_DP_FILE)) == name; }))
            << "the file box shows \"" << windowText(::GetDlgItem(dialog, IDC_DP_FILE)) << "\"";
    }

    SeenMessageBox update(HWND dialog) {
        click(dialog, IDC_UPDATE_DP);
        return takeMessageBox(dialog);
    }

    void expectUntouched() {
        EXPECT_EQ(readFile(plane), originalDp);
        EXPECT_FALSE(exists(folder + "\\plane_001.dp")) << "a backup was made: the pass ran";
        EXPECT_TRUE(exists(folder + "\\plane.cdp"));
    }

    std::string savedProfile;
    std::string folder;
    std::string plane;
};

void expectRefusal(const SeenMessageBox& box) {
    EXPECT_TRUE(box.shown) << "no message box";
    EXPECT_EQ(box.caption, "Zerkon");
    EXPECT_EQ(box.text, "No DP File Selected");
    EXPECT_EQ(box.icon, ::LoadIconA(nullptr, IDI_HAND)) << "the stop icon";
}

} // namespace

TEST_F(Commands, SelectThenUpdateHarmonizesTheChosenFileAndRemembersItsFolder) {
    CZerkonDlg dlg;
    runModal(dlg, [&](HWND dialog) {
        select(dialog, plane);
        const SeenMessageBox first = update(dialog);
        EXPECT_EQ(first.caption, "Guns Harmonized");
        EXPECT_EQ(first.text, "plane.dp");
        EXPECT_EQ(first.icon, ::LoadIconA(nullptr, IDI_EXCLAMATION));
        // The held path stays, so the same file can be harmonized again, with a further backup.
        const SeenMessageBox second = update(dialog);
        EXPECT_EQ(second.caption, "Guns Harmonized");
        EXPECT_EQ(windowText(::GetDlgItem(dialog, IDC_DP_FILE)), "plane.dp");
    });
    EXPECT_EQ(upper(g_selectedPath), upper(plane));
    EXPECT_EQ(upper(g_lastDir), upper(folder));
    EXPECT_EQ(upper(profileValue()), upper(folder));

    const std::string harmonized = readFile(plane);
    EXPECT_NE(harmonized.find("\r\n" + aimedStation), std::string::npos) << harmonized;
    EXPECT_EQ(harmonized.find("1.5,-0.3,2.0"), std::string::npos);
    EXPECT_EQ(readFile(folder + "\\plane_001.dp"), originalDp);
    EXPECT_TRUE(exists(folder + "\\plane_002.dp"));
    EXPECT_FALSE(exists(folder + "\\plane.cdp"));
}

TEST_F(Commands, OpenDialogStartsInTheFolderTheProfileGives) {
    const struct {
        const char* name;
        std::string stored; // "<absent>": no entry
        std::string startFolder;
        std::string openDialogShows; // empty: the Open dialog is not opened
    } cases[] = {
        {"first run: the default with a dot", "<absent>", "C:\\.", "C:\\"},
        {"the remembered folder", folder, folder, folder},
        {"present but empty: the current folder", "", ".", ""},
        {"three characters, like the default", "D:\\", "D:\\.", ""},
        {"a drive's root as the Select command stores it", "C:", "C:", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ::WriteProfileStringA(section, key, c.stored == "<absent>" ? nullptr : c.stored.c_str());
        ASSERT_EQ(profileValue(), c.stored) << "the profile did not take the value";
        CZerkonDlg dlg;
        runModal(dlg, [&](HWND dialog) {
            if (c.openDialogShows.empty()) return;
            click(dialog, IDC_SELECT_DP);
            HWND open = waitForOwnedDialog(dialog);
            ASSERT_NE(open, nullptr);
            char shown[MAX_PATH] = "";
            ::SendMessageA(open, CDM_GETFOLDERPATH, sizeof shown, reinterpret_cast<LPARAM>(shown));
            EXPECT_EQ(upper(shown), upper(c.openDialogShows));
            EXPECT_TRUE(cancelOpenDialog(dialog));
        });
        // A cancel keeps the remembered folder, and writes nothing.
        EXPECT_EQ(std::string(g_lastDir), c.startFolder);
        EXPECT_EQ(profileValue(), c.stored);
    }
}

TEST_F(Commands, FileInTheRootOfADriveRemembersTheBareDrive) {
    const std::string rootFile = "C:\\zerkon-ui-" + std::to_string(::GetCurrentProcessId()) + ".dp";
    writeFile(rootFile, originalDp);
    CZerkonDlg dlg;
    runModal(dlg, [&](HWND dialog) { select(dialog, rootFile); });
    ::DeleteFileA(rootFile.c_str());
    EXPECT_STREQ(g_lastDir, "C:");
    EXPECT_EQ(profileValue(), "C:");
    EXPECT_EQ(dlg.m_dpFile, rootFile.substr(3));
}

TEST_F(Commands, RefusesWithoutAChosenFileOrWithAnEmptyFileBox) {
    const struct {
        const char* name;
        bool select;
        const char* typed;     // into the file box; "\b" after selecting all empties it
        bool cancelSecondOpen; // the Open dialog cancelled after the choice: it forgets the chosen file
    } cases[] = {
        {"nothing chosen, nothing typed", false, nullptr, false},
        {"a name typed, nothing chosen", false, "plane.dp", false},
        {"chosen, then the box emptied by hand", true, "\b", false},
        {"chosen, then the Open dialog cancelled", true, nullptr, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        g_selectedPath[0] = '\0';
        CZerkonDlg dlg;
        runModal(dlg, [&](HWND dialog) {
            if (c.select) select(dialog, plane);
            if (c.typed) typeInto(::GetDlgItem(dialog, IDC_DP_FILE), c.typed, true);
            if (c.cancelSecondOpen) {
                click(dialog, IDC_SELECT_DP);
                EXPECT_TRUE(cancelOpenDialog(dialog));
                EXPECT_TRUE(waitUntil([&] { return windowText(::GetDlgItem(dialog, IDC_DP_FILE)).empty(); }));
            }
            expectRefusal(update(dialog));
        });
        if (c.cancelSecondOpen) {
            EXPECT_STREQ(g_selectedPath, "");
            EXPECT_EQ(upper(g_lastDir), upper(folder)) << "a cancel keeps the remembered folder";
        }
        expectUntouched();
    }
}

// An update takes the distances from their boxes, read with their unit, and the file from the choice, whatever the
// file box says; the run comment is in feet.
TEST_F(Commands, PassRunsOnTheChosenFileWithTheDistancesTyped) {
    CZerkonDlg dlg;
    runModal(dlg, [&](HWND dialog) {
        select(dialog, plane);
        typeInto(::GetDlgItem(dialog, IDC_DP_FILE), "other.dp", true);
        typeInto(::GetDlgItem(dialog, IDC_RANGE), "250m", true);
        typeInto(::GetDlgItem(dialog, IDC_ELEVATION), " 1 yd", true);
        const SeenMessageBox box = update(dialog);
        EXPECT_EQ(box.caption, "Guns Harmonized");
        EXPECT_EQ(box.text, "plane.dp");
    });
    EXPECT_NE(readFile(plane).find("by Zerkon - Range: 820.2 ft.  Elevation: 3.0 ft. - "), std::string::npos)
        << readFile(plane);
    EXPECT_FALSE(exists(folder + "\\other.dp"));
}

TEST_F(Commands, RefusedSettingsAndFailedPassAreShownAsAFailure) {
    const struct {
        const char* name;
        const char* range;      // typed over the range box; null leaves "900"
        const char* elevation;  // typed over the elevation box; null leaves "1"
        bool removeAfterSelect; // the file goes away between the choice and the update
        bool heldElsewhere;     // another program holds the file open and shares it with no one
        const char* reason;     // part of the reason shown
    } cases[] = {
        // Distances are refused with the command line's words, the box named.
        {"range is not a number", "far", nullptr, false, false, "Range: \"far\" is not a decimal number"},
        {"range behind the guns", "-5", nullptr, false, false, "Range: \"-5\" must be greater than zero"},
        {"text after the range", "900abc", nullptr, false, false,
         "Range: \"900abc\": \"abc\" is not a unit; write ft, m or yd after the number"},
        {"decimal comma in the elevation", nullptr, "1,5", false, false,
         "Elevation: \"1,5\" has a decimal comma; write a point"},
        {"file removed after the choice", nullptr, nullptr, true, false, "plane.dp\" does not exist"},
        // The reason names the operation that the other program's lock refused, the file, and the lock.
        {"file open in another program", nullptr, nullptr, false, true,
         "plane.dp\": the file is open in another program"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        writeFile(plane, originalDp);
        CZerkonDlg dlg;
        runModal(dlg, [&](HWND dialog) {
            select(dialog, plane);
            if (c.range) typeInto(::GetDlgItem(dialog, IDC_RANGE), c.range, true);
            if (c.elevation) typeInto(::GetDlgItem(dialog, IDC_ELEVATION), c.elevation, true);
            if (c.removeAfterSelect) ::DeleteFileA(plane.c_str());
            HANDLE held = c.heldElsewhere ? ::CreateFileA(plane.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                                                          FILE_ATTRIBUTE_NORMAL, nullptr)
                                          : INVALID_HANDLE_VALUE;
            if (c.heldElsewhere) {
                ASSERT_NE(held, INVALID_HANDLE_VALUE);
            }
            const SeenMessageBox box = update(dialog);
            if (held != INVALID_HANDLE_VALUE) ::CloseHandle(held);
            EXPECT_EQ(box.caption, "Zerkon");
            EXPECT_EQ(box.icon, ::LoadIconA(nullptr, IDI_HAND));
            const std::string opening = "The guns of plane.dp were not harmonized.\n\n";
            EXPECT_EQ(box.text.substr(0, opening.size()), opening) << box.text;
            EXPECT_NE(box.text.find(c.reason, opening.size()), std::string::npos) << box.text;
            if (c.heldElsewhere) {
                EXPECT_NE(box.text.find("cannot open"), std::string::npos) << box.text;
            }
        });
        EXPECT_FALSE(exists(folder + "\\plane_001.dp"));
        EXPECT_FALSE(exists(folder + "\\plane.dp.zerkon-tmp")) << "the temporary file was left behind";
        if (!c.removeAfterSelect) {
            EXPECT_EQ(readFile(plane), originalDp);
            EXPECT_TRUE(exists(folder + "\\plane.cdp")) << "the compiled copy was deleted by a failed pass";
        }
    }
}

TEST_F(Commands, TypingInRangeAndElevationKeepsTheCaretAndTheMembersInStep) {
    CZerkonDlg dlg;
    runModal(dlg, [&](HWND dialog) {
        HWND range = ::GetDlgItem(dialog, IDC_RANGE);
        HWND elevation = ::GetDlgItem(dialog, IDC_ELEVATION);
        typeInto(::GetDlgItem(dialog, IDC_DP_FILE), "typed.dp", false);
        ::SendMessageA(range, EM_SETSEL, 3, 3);
        typeInto(range, "5", false);
        // A caret in the middle stays where the typing left it: the box is not written back.
        ::SendMessageA(range, EM_SETSEL, 1, 1);
        typeInto(range, "1", false);
        EXPECT_EQ(windowText(range), "91005");
        DWORD start = 0, end = 0;
        ::SendMessageA(range, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
        EXPECT_EQ(start, 2u);
        EXPECT_EQ(end, 2u);
        ::SendMessageA(elevation, EM_SETSEL, 1, 1);
        typeInto(elevation, "0", false);
        EXPECT_EQ(windowText(elevation), "10");
    });
    // Cancel copies nothing, so the members hold what the change handlers copied.
    EXPECT_EQ(dlg.m_range, "91005");
    EXPECT_EQ(dlg.m_elevation, "10");
    EXPECT_EQ(dlg.m_dpFile, "typed.dp") << "a change copies all three boxes";
}

TEST_F(Commands, EnterEscapeAndTheCloseBoxEndTheDialogWithoutAPass) {
    const struct {
        const char* name;
        int control; // gets the key; 0: the close box
        UINT key;
        INT_PTR result;
    } cases[] = {
        {"Enter in the range box", IDC_RANGE, VK_RETURN, IDOK},
        {"Enter in the file box", IDC_DP_FILE, VK_RETURN, IDOK},
        {"Escape", IDC_ELEVATION, VK_ESCAPE, IDCANCEL},
        {"close box", 0, 0, IDCANCEL},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        CZerkonDlg dlg;
        bool endedByKey = false;
        const INT_PTR result = runModal(dlg, [&](HWND dialog) {
            select(dialog, plane);
            typeInto(::GetDlgItem(dialog, IDC_ELEVATION), "5", true);
            if (c.control)
                pressKey(::GetDlgItem(dialog, c.control), c.key);
            else
                ::PostMessageA(dialog, WM_SYSCOMMAND, SC_CLOSE, 0);
            endedByKey = waitUntil([&] { return !::IsWindow(dialog); });
        });
        EXPECT_TRUE(endedByKey);
        EXPECT_EQ(result, c.result);
        EXPECT_EQ(dlg.m_elevation, "5");
        expectUntouched();
    }
}

TEST_F(Commands, AWrittenFileWithSomethingAmissSaysWhatAndWhatToDo) {
    const struct {
        const char* name;
        std::string content;
        const char* range;     // typed over the range box; null leaves "900"
        bool compiledHeldOpen; // by the game, sharing it with no one
        std::string says;
    } cases[] = {
        {"the game holds the compiled copy open", originalDp, nullptr, true,
         "The compiled copy plane.cdp could not be deleted, so the game goes on using the old aim. Close the game and "
         "delete plane.cdp yourself."},
        {"no gun station", "[GENERAL]\r\nname=glider\r\n", nullptr, false,
         "No gun station was aimed: the file has none that can be aimed, so only the run comment changed. Check that "
         "this is the aircraft's DP file; the file as it was is kept as plane_001.dp."},
        // At 15 feet the station's offset from the axis would turn its guns far off it.
        {"a range too short for the station", originalDp, "15", false,
         "Gun station 0 was left as it was: at this range its guns would point more than 10 degrees off the "
         "aircraft's axis, and the next run would no longer take them for forward guns. Check the range: a very "
         "short one turns wing guns far sideways, a very long one points guns far down."},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        writeFile(plane, c.content);
        const std::string compiled = folder + "\\plane.cdp";
        HANDLE held = c.compiledHeldOpen ? ::CreateFileA(compiled.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                                                         FILE_ATTRIBUTE_NORMAL, nullptr)
                                         : INVALID_HANDLE_VALUE;
        CZerkonDlg dlg;
        runModal(dlg, [&](HWND dialog) {
            select(dialog, plane);
            if (c.range) typeInto(::GetDlgItem(dialog, IDC_RANGE), c.range, true);
            const SeenMessageBox box = update(dialog);
            EXPECT_EQ(box.caption, "Zerkon");
            EXPECT_EQ(box.icon, ::LoadIconA(nullptr, IDI_WARNING));
            EXPECT_EQ(box.text.substr(0, 10), "plane.dp\n\n") << "the file's name comes first";
            EXPECT_EQ(box.text.find(c.says), 10u) << box.text;
        });
        if (held != INVALID_HANDLE_VALUE) ::CloseHandle(held);
        EXPECT_EQ(readFile(folder + "\\plane_001.dp"), c.content);
        ::DeleteFileA((folder + "\\plane_001.dp").c_str());
        writeFile(compiled, "compiled");
    }
}

TEST_F(Commands, AnExceptionInACommandIsReportedAndTheDialogGoesOn) {
    const struct {
        const char* name;
        const char* file;
        int failingAllocation;
    } cases[] = {
        // A name too long for the string's own room: copying the file box is the command's first allocation.
        {"in the data exchange", "plane-with-a-long-name.dp", 1},
        {"in the pass", "plane.dp", 20},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string path = folder + "\\" + c.file;
        const std::string backup = path.substr(0, path.size() - 3) + "_001.dp";
        writeFile(path, originalDp);
        CZerkonDlg dlg;
        const DWORD dialogThread = ::GetCurrentThreadId();
        runModal(dlg, [&](HWND dialog) {
            select(dialog, path);
            allocationsBeforeFailure = c.failingAllocation;
            failingThread = dialogThread;
            const SeenMessageBox stopped = update(dialog);
            failingThread = 0;
            EXPECT_EQ(stopped.caption, "Zerkon");
            EXPECT_EQ(stopped.icon, ::LoadIconA(nullptr, IDI_HAND));
            EXPECT_EQ(stopped.text, "The command was stopped: there is not enough memory.\n\nThe DP file holds either "
                                    "its old content or the new, never a mix.");
            // The file is whole, as it was or harmonized beside its backup, and nothing else is left.
            if (exists(backup))
                EXPECT_EQ(readFile(backup), originalDp);
            else
                EXPECT_EQ(readFile(path), originalDp);
            EXPECT_FALSE(exists(path + ".zerkon-tmp")) << "the temporary file was left behind";

            // The dialog goes on with what it holds: the change handlers run again, and the pass can be run.
            typeInto(::GetDlgItem(dialog, IDC_RANGE), "905", true);
            const SeenMessageBox done = update(dialog);
            EXPECT_EQ(done.caption, "Guns Harmonized");
            EXPECT_EQ(done.text, c.file);
        });
        EXPECT_EQ(dlg.m_range, "905") << "the change handler no longer copies the boxes";
        EXPECT_NE(readFile(path).find("by Zerkon"), std::string::npos);
    }
}
