#include "faulty_file_system.hpp"
#include "memory_file_system.hpp"

#include <zerkon/restore.hpp>

#include <gtest/gtest.h>

namespace {

using zerkon::Failure;
using zerkon::RestoreOptions;
using zerkon::RestoreResult;
using zerkon::testing::FaultyFileSystem;
using zerkon::testing::MemoryFileSystem;

const std::string kCurrent = "gunstation.0=1,harmonized\r\n";
const std::string kBackupOne = "gunstation.0=1,original\r\nlast line without newline";
const std::string kBackupTwo = "gunstation.0=1,second\r\n";

// The gap at 002 is where the current file goes.
MemoryFileSystem aircraftFolder() {
    return MemoryFileSystem({{"plane.dp", kCurrent},
                             {"plane_001.dp", kBackupOne},
                             {"plane_003.dp", kBackupTwo},
                             {"plane.cdp", "compiled"}});
}

TEST(Restore, KeepsTheCurrentFileInTheFirstGapAndCopiesTheBackup) {
    MemoryFileSystem files = aircraftFolder();
    const RestoreResult result = zerkon::restoreBackup("plane.dp", 1, RestoreOptions{&files});
    ASSERT_TRUE(result.ok()) << result.reason;
    EXPECT_EQ(result.restoredFrom, "plane_001.dp");
    EXPECT_EQ(result.keptAs, "plane_002.dp");
    const std::map<std::string, std::string> expected = {{"plane.dp", kBackupOne},
                                                         {"plane_001.dp", kBackupOne},
                                                         {"plane_002.dp", kCurrent},
                                                         {"plane_003.dp", kBackupTwo}};
    EXPECT_EQ(files.snapshot(), expected);
}

TEST(Restore, RecreatesAMissingDpFileWithoutKeepingAnything) {
    MemoryFileSystem files({{"plane_001.dp", kBackupOne}});
    const RestoreResult result = zerkon::restoreBackup("plane.dp", 1, RestoreOptions{&files});
    ASSERT_TRUE(result.ok()) << result.reason;
    EXPECT_EQ(result.keptAs, "");
    const std::map<std::string, std::string> expected = {{"plane.dp", kBackupOne}, {"plane_001.dp", kBackupOne}};
    EXPECT_EQ(files.snapshot(), expected);
}

TEST(Restore, RefusesWithoutChangingAnything) {
    const struct {
        const char* name;
        const char* path;
        unsigned number;
        Failure failure;
    } cases[] = {{"no such backup", "plane.dp", 2, Failure::notAFile},
                 {"backup 0", "plane.dp", 0, Failure::badBackupNumber},
                 {"a path too short", "dp", 1, Failure::badPath}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        MemoryFileSystem files = aircraftFolder();
        const auto before = files.snapshot();
        const RestoreResult result = zerkon::restoreBackup(c.path, c.number, RestoreOptions{&files});
        EXPECT_EQ(result.failure, c.failure);
        EXPECT_FALSE(result.reason.empty());
        EXPECT_EQ(files.snapshot(), before);
    }
}

// Every file operation of a restore, made to fail in turn: the files end either as they were (but for nothing) or
// fully restored, and no temporary file is left behind.
class RestoreFaults : public ::testing::TestWithParam<bool> {}; // with links, or with renames only

TEST_P(RestoreFaults, LoseNothingWhicheverOperationFails) {
    int walked = 0;
    for (int failing = 1;; ++failing) {
        MemoryFileSystem memory = aircraftFolder();
        const auto before = memory.snapshot();
        FaultyFileSystem files(memory);
        files.failCall(failing);
        if (!GetParam()) files.withoutLinks();
        const RestoreResult result = zerkon::restoreBackup("plane.dp", 3, RestoreOptions{&files});
        if (files.calls() < failing) {
            ASSERT_TRUE(result.ok());
            break;
        }
        ++walked;
        SCOPED_TRACE("failing operation " + std::to_string(failing));
        if (!result.ok()) {
            EXPECT_EQ(result.failure, Failure::fileOperation);
            EXPECT_EQ(memory.snapshot(), before);
            continue;
        }
        // Only the deletion of the compiled copy may fail without failing the restore; it says so.
        auto expected = std::map<std::string, std::string>{{"plane.dp", kBackupTwo},
                                                           {"plane_001.dp", kBackupOne},
                                                           {"plane_002.dp", kCurrent},
                                                           {"plane_003.dp", kBackupTwo}};
        if (memory.has("plane.cdp")) {
            EXPECT_FALSE(result.warning.empty());
            expected["plane.cdp"] = "compiled";
        }
        EXPECT_EQ(memory.snapshot(), expected);
    }
    EXPECT_GT(walked, 10);
}

// When the disk goes away for good, cleaning up may fail too, but every content is still on it under some name.
TEST_P(RestoreFaults, LoseNothingWhenTheDiskGoesAway) {
    int walked = 0;
    for (int failing = 1;; ++failing) {
        MemoryFileSystem memory = aircraftFolder();
        FaultyFileSystem files(memory);
        files.failCall(failing, true);
        if (!GetParam()) files.withoutLinks();
        const RestoreResult result = zerkon::restoreBackup("plane.dp", 3, RestoreOptions{&files});
        if (result.ok()) break; // every operation came before the failing one, or only the compiled copy stayed
        SCOPED_TRACE("failing from operation " + std::to_string(failing));
        const auto after = memory.snapshot();
        EXPECT_EQ(after.at("plane_001.dp"), kBackupOne);
        EXPECT_EQ(after.at("plane_003.dp"), kBackupTwo);
        const bool keptAway = !memory.has("plane.dp");
        EXPECT_EQ((keptAway ? after.at("plane_002.dp") : after.at("plane.dp")), kCurrent);
        if (keptAway) {
            EXPECT_NE(result.reason.find("plane_002.dp"), std::string::npos) << result.reason;
        }
        ++walked;
    }
    EXPECT_GT(walked, 10);
}

INSTANTIATE_TEST_SUITE_P(FileSystems, RestoreFaults, ::testing::Values(true, false),
                         [](const ::testing::TestParamInfo<bool>& info) {
                             return info.param ? "Links" : "RenamesOnly";
                         });

} // namespace
