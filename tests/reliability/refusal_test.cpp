// Files that cannot be updated as asked: each is refused with a reason, or handled, without losing a byte. Where the
// machine can make the real situation (a read-only or full file system needs root on Linux; sharing needs Windows),
// the test makes it; the same failure also comes through the file system seam, so every machine checks the outcome.
#include <zerkon/pass.hpp>
#include <zerkon/preview.hpp>

#include "faulty_file_system.hpp"
#include "test_files.hpp"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#ifdef _WIN32
#include <windows.h>
#else
#include <sys/stat.h>
#include <unistd.h>
#endif
#ifdef __linux__
#include <sys/mount.h>
#endif

namespace {

using namespace zerkon::testing;
using Names = std::vector<std::string>;

const std::string kPlane = "[GUNSTATIONS]\r\ngunstation.0=1,0,0,0,850,0,0,0,0,0,0,1.5,-0.3,2.0,0,0,0,0\r\n"
                           "[GUNS.0]\r\ngun.0=1.5,-0.25,2,3.2,1.1,7,x\r\n";

zerkon::PassResult harmonize(const std::string& path, zerkon::FileSystem* files = nullptr) {
    return zerkon::harmonizeFile(path, {}, {files, fixedClock});
}

bool mentions(const std::string& text, const std::string& what) { return text.find(what) != std::string::npos; }

// The plane's DP file and compiled copy in `folder`.
void putPlane(const std::filesystem::path& folder, const std::string& content = kPlane) {
    writeBytes((folder / "plane.dp").string(), content);
    writeBytes((folder / "plane.cdp").string(), "compiled");
}

void expectUntouched(const TempFolder& folder, const zerkon::PassResult& result, const char* why) {
    EXPECT_FALSE(result.ok());
    EXPECT_NE(result.reason.find(why), std::string::npos) << result.reason;
    EXPECT_EQ(folder.names(), (Names{"plane.cdp", "plane.dp"}));
    EXPECT_EQ(readBytes(folder.file("plane.dp")), kPlane);
    EXPECT_EQ(readBytes(folder.file("plane.cdp")), "compiled");
}

// A path that names no file is refused with what it names; a folder reads the same with or without a separator at
// its end, and stays as it was.
TEST(Refusal, PathsThatNameNoFile) {
    const std::string preferred(1, static_cast<char>(std::filesystem::path::preferred_separator));
    const struct {
        std::string name;
        bool folder;
        zerkon::Failure failure;
        const char* words;
    } cases[] = {
        {"ab", false, zerkon::Failure::badPath, "is too short"},
        {"plane.dp", false, zerkon::Failure::notAFile, "does not exist"},
        {"plane.dp", true, zerkon::Failure::notAFile, "is not a file"},
        {"plane.dp/", true, zerkon::Failure::notAFile, "is not a file"},
        {"plane.dp" + preferred, true, zerkon::Failure::notAFile, "is not a file"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        TempFolder folder;
        if (c.folder) std::filesystem::create_directory(folder.path() / "plane.dp");
        const std::string path = c.name == "ab" ? c.name : folder.file(c.name);
        const zerkon::PassResult result = harmonize(path);
        EXPECT_EQ(result.failure, c.failure);
        EXPECT_TRUE(mentions(result.reason, "\"" + path + "\" " + c.words)) << result.reason;
        EXPECT_EQ(folder.names(), c.folder ? Names{"plane.dp"} : Names{});
        if (c.folder) {
            EXPECT_TRUE(std::filesystem::is_empty(folder.path() / "plane.dp"));
        }
    }
}

// Text in UTF-16 or UTF-32 is not DP text: rewritten byte by byte it would be corrupted. A UTF-8 mark is harmless.
TEST(Refusal, WideText) {
    const struct {
        std::string mark;
        bool refused;
    } cases[] = {{"\xFF\xFE", true},
                 {"\xFE\xFF", true},
                 {std::string("\xFF\xFE\0\0", 4), true},
                 {std::string("\0\0\xFE\xFF", 4), true},
                 {"\xEF\xBB\xBF", false}};
    for (const auto& c : cases) {
        TempFolder folder;
        putPlane(folder.path(), c.mark + kPlane);
        const zerkon::Preview preview = zerkon::previewHarmonize(folder.file("plane.dp"), {});
        const zerkon::PassResult result = harmonize(folder.file("plane.dp"));
        EXPECT_EQ(result.ok(), !c.refused) << result.reason;
        EXPECT_EQ(preview.ok(), !c.refused) << preview.reason;
        if (!c.refused) continue;
        EXPECT_TRUE(mentions(result.reason, "UTF-16 or UTF-32 text")) << result.reason;
        EXPECT_TRUE(mentions(preview.reason, "UTF-16 or UTF-32 text")) << preview.reason;
        EXPECT_EQ(folder.names(), (Names{"plane.cdp", "plane.dp"}));
        EXPECT_EQ(readBytes(folder.file("plane.dp")), c.mark + kPlane);
    }
}

// The file is deleted by someone else after the pass found it and before it opened it.
TEST(Refusal, FileThatVanishesDuringTheUpdate) {
    TempFolder folder;
    putPlane(folder.path());
    FaultyFileSystem files;
    files.actOn(Operation::open, 1, [&] { std::filesystem::remove(folder.file("plane.dp")); });
    const zerkon::PassResult result = harmonize(folder.file("plane.dp"), &files);
    EXPECT_EQ(result.failure, zerkon::Failure::fileOperation);
    EXPECT_TRUE(mentions(result.reason, "cannot open")) << result.reason;
    EXPECT_EQ(folder.names(), (Names{"plane.cdp"})); // no backup, no temporary file, the compiled copy kept
}

// The failures of a system that refuses: every machine checks them through the seam.
TEST(Refusal, SystemRefusalsThroughTheSeam) {
    const struct {
        const char* name;
        Operation operation;
        std::errc error;
        const char* words; // a word of the operation; the system's own words differ between platforms
    } cases[] = {
        {"unreadable, or held without sharing", Operation::open, std::errc::permission_denied, "cannot open"},
        {"file open elsewhere, rename refused", Operation::rename, std::errc::permission_denied, "cannot rename"},
        {"read-only folder", Operation::create, std::errc::read_only_file_system, "cannot create"},
        {"folder full at the first write", Operation::write, std::errc::no_space_on_device, "cannot write"},
        {"folder full when syncing", Operation::flush, std::errc::no_space_on_device, "cannot flush"},
        {"folder full when closing", Operation::close, std::errc::no_space_on_device, "cannot close"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        TempFolder folder;
        putPlane(folder.path());
        FaultyFileSystem files;
        files.withoutLinks().failOn(c.operation, 1, std::make_error_code(c.error), true);
        const zerkon::PassResult result = harmonize(folder.file("plane.dp"), &files);
        EXPECT_EQ(result.failure, zerkon::Failure::fileOperation);
        EXPECT_TRUE(mentions(result.reason, std::make_error_code(c.error).message())) << result.reason;
        expectUntouched(folder, result, c.words);
    }
}

#ifdef __linux__
// A small tmpfs mounted inside a temporary folder; mounting needs root (CAP_SYS_ADMIN), so the tests that use one
// are skipped elsewhere. Permission bits do not stop root, a full or read-only file system does.
class SmallFileSystem {
public:
    explicit SmallFileSystem(const std::filesystem::path& at, const char* size) : path_(at) {
        std::filesystem::create_directory(path_);
        mounted_ = ::mount("tmpfs", path_.c_str(), "tmpfs", 0, (std::string("size=") + size).c_str()) == 0;
    }
    ~SmallFileSystem() {
        if (mounted_) ::umount2(path_.c_str(), MNT_DETACH);
    }
    bool mounted() const { return mounted_; }
    bool makeReadOnly() { return ::mount("tmpfs", path_.c_str(), "tmpfs", MS_REMOUNT | MS_RDONLY, nullptr) == 0; }

private:
    std::filesystem::path path_;
    bool mounted_ = false;
};

// Full, or made read-only once the files are on it: the file keeps its bytes and nothing is left beside it.
TEST(Refusal, FullOrReadOnlyFileSystem) {
    std::string filled = kPlane;
    while (filled.size() < 600 * 1024)
        filled += "; filler line that takes room on the small disk\r\n";
    const struct {
        const char* name;
        std::string content;
        bool readOnly;
        std::errc error;
    } cases[] = {{"full", filled, false, std::errc::no_space_on_device},
                 {"read-only", kPlane, true, std::errc::read_only_file_system}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        TempFolder folder;
        SmallFileSystem disk(folder.path() / "disk", "1m");
        if (!disk.mounted()) GTEST_SKIP() << "cannot mount a tmpfs here (needs root)";
        putPlane(folder.path() / "disk", c.content);
        if (c.readOnly) {
            ASSERT_TRUE(disk.makeReadOnly());
        }
        const std::string dp = (folder.path() / "disk" / "plane.dp").string();
        const zerkon::PassResult result = harmonize(dp);
        EXPECT_EQ(result.failure, zerkon::Failure::fileOperation);
        EXPECT_TRUE(mentions(result.reason, std::make_error_code(c.error).message())) << result.reason;
        EXPECT_EQ(readBytes(dp), c.content);
        EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder.path() / "disk"), {}), 2);
    }
}
#endif

#ifndef _WIN32
TEST(Refusal, ReadOnlyFolder) {
    if (::geteuid() == 0) GTEST_SKIP() << "root writes into read-only folders (see FullOrReadOnlyFileSystem)";
    TempFolder folder;
    putPlane(folder.path());
    std::filesystem::permissions(folder.path(),
                                 std::filesystem::perms::owner_read | std::filesystem::perms::owner_exec);
    const zerkon::PassResult result = harmonize(folder.file("plane.dp"));
    std::filesystem::permissions(folder.path(), std::filesystem::perms::owner_all);
    expectUntouched(folder, result, "cannot create");
}
#endif

#ifdef _WIN32
// Another program holds the file open. Windows refuses, and the pass must leave everything as it was.
TEST(Refusal, FileOpenElsewhere) {
    const struct {
        DWORD share;
        const char* why;
    } cases[] = {{0, "cannot open"}, {FILE_SHARE_READ, "cannot rename"}};
    for (const auto& c : cases) {
        TempFolder folder;
        putPlane(folder.path());
        const HANDLE held = ::CreateFileA(folder.file("plane.dp").c_str(), GENERIC_READ, c.share, nullptr,
                                          OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
        ASSERT_NE(held, INVALID_HANDLE_VALUE);
        const zerkon::PassResult result = harmonize(folder.file("plane.dp"));
        ::CloseHandle(held);
        expectUntouched(folder, result, c.why);
        EXPECT_TRUE(harmonize(folder.file("plane.dp")).ok()) << "once the other program lets go";
    }
}
#endif

} // namespace
