// What a pass keeps of the file it replaces: its permissions, its owner, a symbolic link to it, and every run's
// content when runs meet on one file.
#include <zerkon/file_system.hpp>
#include <zerkon/pass.hpp>
#include <zerkon/preview.hpp>
#include <zerkon/restore.hpp>

#include "command_line.hpp"
#include "faulty_file_system.hpp"
#include "memory_file_system.hpp"
#include "plot_command.hpp"
#include "test_files.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <filesystem>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#ifndef _WIN32
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace {

namespace fs = std::filesystem;
using namespace zerkon::testing;
using Names = std::vector<std::string>;

const std::string kPlane = "[GUNSTATIONS]\r\ngunstation.0=1,0,0,0,850,0,0,0,0,0,0,1.5,-0.3,2.0,0,0,0,0\r\n"
                           "[GUNS.0]\r\ngun.0=1.5,-0.25,2,3.2,1.1,7,x\r\n";

zerkon::PassResult harmonize(const std::string& path, float rangeFeet = 900, zerkon::FileSystem* files = nullptr) {
    return zerkon::harmonizeFile(path, {rangeFeet, 1, {}}, {files, fixedClock});
}

int plot(const TempFolder& folder, const std::string& svg, std::string& messages) {
    const zerkon::cli::PlotRequest request{folder.file("plane.dp"), {900, 1, {}}, folder.file(svg), true};
    std::ostringstream out, err;
    zerkon::cli::Console console{out, err};
    const int code = zerkon::cli::runPlot(request, console);
    messages = err.str();
    return code;
}

// Files copied from a CD are read-only, and users still want them harmonized: the new file is read-only too.
TEST(FileIdentity, PermissionsAreKept) {
    using fs::perms;
    for (const perms mode : {perms::owner_read | perms::group_read | perms::others_read,
                             perms::owner_read | perms::owner_write, perms::owner_all | perms::group_read}) {
        SCOPED_TRACE(static_cast<int>(mode));
        TempFolder folder;
        writeBytes(folder.file("plane.dp"), kPlane);
        fs::permissions(folder.file("plane.dp"), mode);
        const perms before = fs::status(folder.file("plane.dp")).permissions();
        const zerkon::PassResult result = harmonize(folder.file("plane.dp"));
        ASSERT_TRUE(result.ok()) << result.reason;
        EXPECT_EQ(fs::status(folder.file("plane.dp")).permissions(), before);
        EXPECT_EQ(fs::status(folder.file("plane_001.dp")).permissions(), before);
        EXPECT_NE(readBytes(folder.file("plane.dp")).find("Guns harmonized"), std::string::npos);
        fs::permissions(folder.file("plane.dp"), perms::owner_all); // Windows deletes no read-only file
        fs::permissions(folder.file("plane_001.dp"), perms::owner_all);
    }
}

#ifndef _WIN32
// The target is harmonized in its own folder, beside its backup and its compiled copy; the link stays a link.
TEST(FileIdentity, SymbolicLinkIsFollowed) {
    TempFolder folder;
    fs::create_directories(folder.path() / "shared");
    fs::create_directories(folder.path() / "hangar");
    writeBytes(folder.file("shared/plane.dp"), kPlane);
    writeBytes(folder.file("shared/plane.cdp"), "compiled");
    fs::create_symlink("../shared/plane.dp", folder.path() / "hangar" / "plane.dp");
    const zerkon::PassResult result = harmonize(folder.file("hangar/plane.dp"));
    ASSERT_TRUE(result.ok()) << result.reason;
    EXPECT_EQ(fs::read_symlink(folder.path() / "hangar" / "plane.dp"), "../shared/plane.dp");
    EXPECT_EQ(readBytes(folder.file("shared/plane_001.dp")), kPlane);
    EXPECT_NE(readBytes(folder.file("hangar/plane.dp")).find("Guns harmonized"), std::string::npos);
    EXPECT_FALSE(fs::exists(folder.path() / "shared" / "plane.cdp"));
    EXPECT_EQ(std::distance(fs::directory_iterator(folder.path() / "hangar"), {}), 1);
}

// A name the pass cannot give its backups is refused before anything is touched, by the pass and by a restore. The
// backup and compiled names come from the real file's name, or a link to "data/ab" would give "data_001.dp" a folder
// up and delete "data/CDP". "k.dp" and "k.DP" are two aircraft sharing the backups "k_NNN.dp", and a restore of one
// would bring back the other one's.
TEST(FileIdentity, ANameWithoutBackupNamesOfItsOwnIsRefused) {
    const struct {
        const char* linkTo; // null: "k.dp" and "k.DP" are both files
        const char* run;
        const char* said; // null: not refused
    } cases[] = {{"data/ab", "k.dp", "which is not a DP file"},
                 {"data/plane.txt", "k.dp", "which is not a DP file"},
                 {"data/plane.DP", "k.dp", nullptr},
                 {nullptr, "k.dp", "would share the backups \"k_NNN.dp\""},
                 {nullptr, "k.DP", "would share the backups \"k_NNN.dp\""}};
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.linkTo ? c.linkTo : "") + " " + c.run);
        TempFolder folder;
        fs::create_directories(folder.path() / "data");
        for (const char* name :
             {"data/ab", "data/CDP", "data/plane.txt", "data/plane.DP", "data/plane_001.dp", "k_001.dp"})
            writeBytes(folder.file(name), kPlane);
        if (c.linkTo) fs::create_symlink(c.linkTo, folder.path() / "k.dp");
        for (const char* name : {"k.dp", "k.DP"})
            if (!c.linkTo) writeBytes(folder.file(name), kPlane);
        const auto treeNow = [&] {
            std::vector<fs::path> tree(fs::recursive_directory_iterator(folder.path()), {});
            std::sort(tree.begin(), tree.end());
            return tree;
        };
        const std::vector<fs::path> tree = treeNow();
        const zerkon::PassResult pass = harmonize(folder.file(c.run));
        const zerkon::RestoreResult restore = zerkon::restoreBackup(folder.file(c.run), 1);
        EXPECT_EQ(pass.ok(), !c.said) << pass.reason;
        EXPECT_EQ(restore.ok(), !c.said) << restore.reason;
        if (!c.said) continue;
        EXPECT_EQ(pass.failure, zerkon::Failure::badPath);
        EXPECT_NE(pass.reason.find(c.said), std::string::npos) << pass.reason;
        EXPECT_EQ(restore.reason, pass.reason);
        EXPECT_EQ(treeNow(), tree);
        EXPECT_EQ(readBytes(folder.file(c.run)), kPlane);
    }
}

// A symbolic link that leads nowhere still takes its name: the dry run and the pass both pass it by.
TEST(FileIdentity, DanglingLinkAtABackupNameIsTaken) {
    TempFolder folder;
    writeBytes(folder.file("plane.dp"), kPlane);
    fs::create_symlink("nowhere", folder.path() / "plane_001.dp");
    const zerkon::Preview preview = zerkon::previewHarmonize(folder.file("plane.dp"), {900, 1, {}});
    const zerkon::PassResult result = harmonize(folder.file("plane.dp"));
    ASSERT_TRUE(result.ok()) << result.reason;
    EXPECT_EQ(preview.backupPath, folder.file("plane_002.dp"));
    EXPECT_EQ(result.backupPath, folder.file("plane_002.dp"));
    EXPECT_EQ(fs::read_symlink(folder.path() / "plane_001.dp"), "nowhere");
}

// Where names tell case apart, the simulator takes any case of the compiled name: all of them are stale. Only regular
// files are compiled copies: a folder under such a name stays, unreported.
TEST(FileIdentity, EveryCaseOfTheCompiledNameIsDeleted) {
    TempFolder folder;
    for (const char* name : {"PLANE.DP", "PLANE.cdp", "plane.CDP", "Plane.Cdp", "plane.cdp.bak", "other.cdp"})
        writeBytes(folder.file(name), name);
    fs::create_directory(folder.path() / "plane.cDp");
    const zerkon::PassResult result = harmonize(folder.file("PLANE.DP"));
    ASSERT_TRUE(result.ok()) << result.reason;
    EXPECT_EQ(result.compiledDeleted.size(), 3u);
    EXPECT_TRUE(result.warning.empty()) << result.warning;
    EXPECT_EQ(folder.names(), (Names{"PLANE.DP", "PLANE_001.dp", "other.cdp", "plane.cDp", "plane.cdp.bak"}));
}

// Every copy that cannot be deleted is reported, since the game goes on loading its old aim.
TEST(FileIdentity, CompiledCopiesLeftAreReported) {
    TempFolder folder;
    for (const char* name : {"plane.dp", "plane.cdp", "plane.CDP"})
        writeBytes(folder.file(name), kPlane);
    FaultyFileSystem undeletable;
    undeletable.withoutLinks().failOn(Operation::remove, 1, std::make_error_code(std::errc::permission_denied), true);
    const zerkon::PassResult stale = harmonize(folder.file("plane.dp"), 900, &undeletable);
    ASSERT_TRUE(stale.ok()) << stale.reason;
    EXPECT_EQ(stale.compiledLeft.size(), 2u);
    for (const char* name : {"plane.cdp\"", "plane.CDP\"", "old aim"})
        EXPECT_NE(stale.warning.find(name), std::string::npos) << stale.warning;
}
#endif

// A run that finds its folder locked, under another spelling of the folder's name, waits until the lock is let go,
// says so once after a second in the program's voice, the progress line wiped first, and then goes on. The engine
// itself prints nothing.
TEST(FileIdentity, AWaitingRunSaysSoOnce) {
    TempFolder folder;
    writeBytes(folder.file("plane.dp"), kPlane);
    writeBytes(folder.file("other.dp"), kPlane);
    std::error_code error;
    auto held = zerkon::machineFileSystem().lockFolder(folder.path().generic_string(), error);
    ASSERT_TRUE(held) << error.message();
    ::testing::internal::CaptureStderr();
    std::atomic<bool> finished{false};
    std::ostringstream out, err;
    int code = -1;
    std::thread run([&] {
        const std::string plane = folder.file("plane.dp"), other = folder.file("other.dp");
        const char* argv[] = {"zerkon-cli", "harmonize", plane.c_str(), other.c_str()};
        code = zerkon::cli::runCommandLine(4, argv, out, err, true);
        finished = true;
    });
    std::this_thread::sleep_for(std::chrono::milliseconds(2500)); // a loaded machine may start the run late
    EXPECT_FALSE(finished);
    held.reset();
    run.join();
    EXPECT_EQ(code, 0) << err.str();
    EXPECT_EQ(::testing::internal::GetCapturedStderr(), "");
    const std::string said =
        " \rzerkon-cli: waiting for another run on the folder \"" + folder.file("") + "\" to finish\n";
    const std::size_t at = err.str().find(said);
    EXPECT_NE(at, std::string::npos) << err.str();
    EXPECT_EQ(err.str().find("waiting", at + said.size()), std::string::npos) << err.str();
}

// The folder is locked while a file is replaced, so a temporary file of ours found there was left by a run that was
// stopped: it is removed, and the run says so. A folder under that name is no temporary file of ours.
TEST(FileIdentity, StaleTemporaryFilesAreRemoved) {
    TempFolder folder;
    writeBytes(folder.file("plane.dp"), kPlane);
    writeBytes(folder.file("plane.dp.zerkon-tmp1"), "stale");
    writeBytes(folder.file("plane.svg.zerkon-tmp"), "stale");
    writeBytes(folder.file("plane.svg"), "old picture");
    fs::create_directory(folder.path() / "plane.dp.zerkon-tmp");
    const zerkon::PassResult result = harmonize(folder.file("plane.dp"));
    ASSERT_TRUE(result.ok()) << result.reason;
    EXPECT_NE(
        result.warning.find("removed \"" + folder.file("plane.dp.zerkon-tmp1") + "\", left by a run that was stopped"),
        std::string::npos)
        << result.warning;
    std::string messages;
    EXPECT_EQ(plot(folder, "plane.svg", messages), 0) << messages;
    EXPECT_EQ(folder.names(), (Names{"plane.dp", "plane.dp.zerkon-tmp", "plane.svg", "plane_001.dp"}));
}

#ifndef _WIN32
// plot --force writes through a symbolic link, and replaces only a regular file: a pipe (or, as root, /dev/null) stays
// what it is.
TEST(FileIdentity, PlotForceReplacesOnlyARegularFile) {
    TempFolder folder;
    writeBytes(folder.file("plane.dp"), kPlane);
    writeBytes(folder.file("real.svg"), "old picture");
    fs::create_symlink("real.svg", folder.path() / "link.svg");
    ASSERT_EQ(::mkfifo(folder.file("pipe.svg").c_str(), 0600), 0);
    std::string messages;
    EXPECT_EQ(plot(folder, "link.svg", messages), 0) << messages;
    EXPECT_TRUE(fs::is_symlink(folder.path() / "link.svg"));
    EXPECT_NE(readBytes(folder.file("real.svg")).find("<svg"), std::string::npos);
    EXPECT_EQ(plot(folder, "pipe.svg", messages), 1);
    EXPECT_NE(messages.find("is not a regular file"), std::string::npos) << messages;
    EXPECT_TRUE(fs::is_fifo(folder.path() / "pipe.svg"));
}

// Another program puts something else under the name between two steps of a pass: a pipe (the run must not wait for
// a writer), a symbolic link (its target must not be rewritten), or a file saved by an editor. The run refuses, and
// leaves what is there as it is, with no file of its own.
TEST(FileIdentity, WhatIsReadIsWhatIsReplaced) {
    enum class Swap { pipe, link, file };
    const struct {
        const char* name;
        Operation at; // the first call of it begins after the swap
        Swap swap;
        const char* said;
    } cases[] = {
        {"a pipe before the open", Operation::open, Swap::pipe, "is not a regular file; nothing was written"},
        {"a link before the open", Operation::open, Swap::link, "is not a regular file; nothing was written"},
        {"a file saved before the rename", Operation::copyIdentity, Swap::file,
         "changed while it was read; nothing was written"},
        {"a link before the rename", Operation::copyIdentity, Swap::link,
         "changed while it was read; nothing was written"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        TempFolder folder;
        const std::string dp = folder.file("plane.dp");
        writeBytes(dp, kPlane);
        writeBytes(folder.file("other.dp"), "another aircraft");
        FaultyFileSystem files;
        files.actOn(c.at, 1, [&] {
            writeBytes(dp + "~", "saved by an editor");
            if (c.swap == Swap::file) return fs::rename(dp + "~", dp); // a new file, as editors save
            fs::remove(dp + "~");
            fs::remove(dp);
            if (c.swap == Swap::link) return fs::create_symlink("other.dp", dp);
            ASSERT_EQ(::mkfifo(dp.c_str(), 0600), 0);
        });
        const zerkon::PassResult result = harmonize(dp, 900, &files);
        EXPECT_EQ(result.failure, zerkon::Failure::fileOperation);
        EXPECT_EQ(result.reason, "\"" + dp + "\" " + c.said);
        EXPECT_EQ(folder.names(), (Names{"other.dp", "plane.dp"}));
        EXPECT_EQ(fs::symlink_status(dp).type(), c.swap == Swap::pipe   ? fs::file_type::fifo
                                                 : c.swap == Swap::link ? fs::file_type::symlink
                                                                        : fs::file_type::regular);
        EXPECT_EQ(readBytes(c.swap == Swap::file ? dp : folder.file("other.dp")),
                  c.swap == Swap::file ? "saved by an editor" : "another aircraft");
    }
}

// In a sticky folder another user's file can be linked but neither renamed nor removed: the run fails, and says which
// names it could not clean up, since they stay.
TEST(FileIdentity, CleanupThatFailsIsReported) {
    struct StickyFolder : FaultyFileSystem {
        void refuse(std::error_code& error) { error = std::make_error_code(std::errc::operation_not_permitted); }
        void rename(const std::string&, const std::string&, std::error_code& error) override { refuse(error); }
        void replace(const std::string&, const std::string&, std::error_code& error) override { refuse(error); }
        void remove(const std::string&, std::error_code& error) override { refuse(error); }
    } files;
    TempFolder folder;
    writeBytes(folder.file("plane.dp"), kPlane);
    const zerkon::PassResult result = harmonize(folder.file("plane.dp"), 900, &files);
    EXPECT_FALSE(result.ok());
    for (const std::string& said : {"\"" + folder.file("plane_001.dp") + "\" stays a second name",
                                    "the temporary file \"" + folder.file("plane.dp.zerkon-tmp") + "\" is left"})
        EXPECT_NE(result.reason.find(said), std::string::npos) << result.reason;
    EXPECT_EQ(folder.names(), (Names{"plane.dp", "plane.dp.zerkon-tmp", "plane_001.dp"}));
    EXPECT_EQ(readBytes(folder.file("plane.dp")), kPlane);
}
#endif

// The backup of a file with a second name is a copy, by the pass and by a restore: a backup shared with the other name
// would change when that name is edited. The other name keeps the content it had, and the DP name gets a new file.
TEST(FileIdentity, TheBackupOfAFileWithTwoNamesIsACopy) {
    TempFolder folder;
    const std::string dp = folder.file("plane.dp");
    writeBytes(dp, kPlane);
    fs::permissions(dp, fs::perms::owner_read | fs::perms::owner_write);
    fs::create_hard_link(dp, folder.file("other.dp"));
    const zerkon::PassResult result = harmonize(dp);
    ASSERT_TRUE(result.ok()) << result.reason;
    EXPECT_EQ(result.backupPath, folder.file("plane_001.dp"));
    for (const char* name : {"plane.dp", "plane_001.dp", "other.dp"})
        EXPECT_EQ(fs::hard_link_count(folder.file(name)), 1u) << name;
    EXPECT_EQ(fs::status(result.backupPath).permissions(), fs::status(dp).permissions());
    EXPECT_NE(readBytes(dp).find("Guns harmonized"), std::string::npos);
    writeBytes(folder.file("other.dp"), "edited");
    EXPECT_EQ(readBytes(result.backupPath), kPlane);

    // A restore keeps the file it replaces the same way.
    const std::string harmonized = readBytes(dp);
    fs::create_hard_link(dp, folder.file("third.dp"));
    const zerkon::RestoreResult restored = zerkon::restoreBackup(dp, 1);
    ASSERT_TRUE(restored.ok()) << restored.reason;
    EXPECT_EQ(restored.keptAs, folder.file("plane_002.dp"));
    EXPECT_EQ(fs::hard_link_count(restored.keptAs), 1u);
    EXPECT_EQ(readBytes(restored.keptAs), harmonized);
    EXPECT_EQ(readBytes(folder.file("third.dp")), harmonized);
    EXPECT_EQ(readBytes(dp), kPlane);
    EXPECT_EQ(folder.names(), (Names{"other.dp", "plane.dp", "plane_001.dp", "plane_002.dp", "third.dp"}));
}

// Runs started at once on one file all succeed, and nothing any of them wrote is lost: the backups and the final file
// hold the original and every run's output.
TEST(FileIdentity, ConcurrentRunsLoseNothing) {
    constexpr int kRuns = 20;
    Names expected{kPlane};
    for (int run = 0; run < kRuns; ++run) {
        TempFolder alone;
        writeBytes(alone.file("plane.dp"), kPlane);
        ASSERT_TRUE(harmonize(alone.file("plane.dp"), 100.0f + run).ok());
        expected.push_back(readBytes(alone.file("plane.dp")));
    }

    TempFolder folder;
    writeBytes(folder.file("plane.dp"), kPlane);
    std::atomic<bool> go{false};
    std::vector<zerkon::PassResult> results(kRuns);
    std::vector<std::thread> runs;
    for (int run = 0; run < kRuns; ++run)
        runs.emplace_back([&, run] {
            while (!go)
                std::this_thread::yield();
            results[run] = harmonize(folder.file("plane.dp"), 100.0f + run);
        });
    go = true;
    for (std::thread& run : runs)
        run.join();

    for (const zerkon::PassResult& result : results)
        EXPECT_TRUE(result.ok()) << result.reason;
    Names contents;
    for (const std::string& name : folder.names())
        contents.push_back(readBytes(folder.file(name)));
    std::sort(contents.begin(), contents.end());
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(contents, expected);
}

// Where there are no links another run puts its new file in place with two renames, and between them the DP name is
// free: a pass or a restore that finds it so looks again once the other run has let go of the folder, and goes on.
class BetweenTwoRenames : public zerkon::testing::MemoryFileSystem {
public:
    zerkon::PathKind status(const std::string& path, std::error_code& error) override {
        return path == "plane.dp" && !otherRunDone_ ? zerkon::PathKind::absent : MemoryFileSystem::status(path, error);
    }
    std::unique_ptr<zerkon::FolderLock> lockFolder(const std::string& folder, std::error_code& error) override {
        otherRunDone_ = true;
        return MemoryFileSystem::lockFolder(folder, error);
    }

private:
    bool otherRunDone_ = false;
};

TEST(FileIdentity, ANameFreeBetweenAnotherRunsRenamesIsLookedAtAgain) {
    BetweenTwoRenames forPass, forRestore;
    for (BetweenTwoRenames* files : {&forPass, &forRestore}) {
        files->put("plane.dp", kPlane);
        files->put("plane_001.dp", "backup\r\n");
    }
    const zerkon::PassResult pass = zerkon::harmonizeFile("plane.dp", {900, 1, {}}, {&forPass, fixedClock});
    EXPECT_TRUE(pass.ok()) << pass.reason;
    EXPECT_EQ(pass.backupPath, "plane_002.dp");
    const zerkon::RestoreResult restore = zerkon::restoreBackup("plane.dp", 1, {&forRestore});
    EXPECT_TRUE(restore.ok()) << restore.reason;
    EXPECT_EQ(restore.keptAs, "plane_002.dp");
}

} // namespace
