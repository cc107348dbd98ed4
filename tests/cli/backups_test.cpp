#include "memory_file_system.hpp"
#include "test_files.hpp"

#include "text_table.hpp"

#include <zerkon/backups.hpp>
#include <zerkon/file_system.hpp>
#include <zerkon/pass.hpp>

#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>

namespace {

using zerkon::BackupFile;
using Clock = std::chrono::system_clock;

TEST(ListBackups, TakesOnlyTheNamesThePassGives) {
    zerkon::testing::MemoryFileSystem files;
    for (const char* name :
         {"plane.dp", "plane_001.dp", "plane_1000.dp", "plane_0002.dp", "plane_000.dp", "plane_01.dp", "plane_x01.dp",
          "plane_003.dp.bak", "other_004.dp", "plane.cdp", "hangar/plane_002.dp"})
        files.put(name, "");
    files.put("plane_007.dp",
              "[AIRCRAFT]\r\n; Guns harmonized by Zerkon - Range: 900.0 ft.  Elevation: 1.0 ft. - "
              "Sat Mar  7 18:02:11 2026\r\n[GUNSTATIONS]\r\n",
              1234);
    std::error_code error;
    const std::vector<BackupFile> backups = zerkon::listBackups(files, "plane.dp", error);
    ASSERT_FALSE(error) << error.message();
    ASSERT_EQ(backups.size(), 3u);
    EXPECT_EQ(backups[0].number, 1u);
    EXPECT_EQ(backups[1].number, 7u);
    EXPECT_EQ(backups[2].number, 1000u);
    EXPECT_FALSE(backups[0].run);
    ASSERT_TRUE(backups[1].run);
    EXPECT_EQ(backups[1].run->rangeFeet, "900.0");
    EXPECT_EQ(backups[1].run->elevationFeet, "1.0");
    EXPECT_EQ(backups[1].run->when, "Sat Mar  7 18:02:11 2026");
    EXPECT_EQ(backups[1].made, Clock::from_time_t(1234));
}

// A backup that cannot be read is still listed, and said to be unreadable rather than never harmonized.
TEST(ListBackups, SaysWhichCannotBeRead) {
    struct UnreadableBackup : zerkon::testing::MemoryFileSystem {
        std::unique_ptr<zerkon::InputFile> openForReading(const std::string& path, std::error_code& error) override {
            if (path != "plane_002.dp") return MemoryFileSystem::openForReading(path, error);
            error = std::make_error_code(std::errc::permission_denied);
            return nullptr;
        }
    } files;
    for (const char* name : {"plane.dp", "plane_001.dp", "plane_002.dp"})
        files.put(name, "");
    std::error_code error;
    const std::vector<BackupFile> backups = zerkon::listBackups(files, "plane.dp", error);
    ASSERT_EQ(backups.size(), 2u);
    EXPECT_FALSE(backups[0].unreadable);
    EXPECT_TRUE(backups[1].unreadable);
}

TEST(NewestBackup, IsTheOneMadeLast) {
    const struct {
        const char* name;
        std::vector<std::pair<unsigned, std::time_t>> backups; // number, made
        unsigned newest;                                       // 0: none
    } cases[] = {{"none", {}, 0},
                 {"in order", {{1, 100}, {2, 200}, {3, 300}}, 3},
                 {"a gap reused by a later pass", {{1, 400}, {2, 200}, {3, 300}}, 1},
                 {"the same second goes by number", {{1, 300}, {2, 300}}, 2}};
    for (const auto& c : cases) {
        std::vector<BackupFile> backups;
        for (const auto& [number, made] : c.backups) {
            BackupFile backup;
            backup.number = number;
            backup.made = Clock::from_time_t(made);
            backups.push_back(backup);
        }
        const BackupFile* newest = zerkon::newestBackup(backups);
        EXPECT_EQ(newest ? newest->number : 0u, c.newest) << c.name;
    }
}

// On disk, by the passes themselves: a file copied with its 2005 time kept is still the backup made last, a gap is
// filled by the newest backup within the same second, and a folder named like a backup is none.
TEST(NewestBackup, IsTheOneMadeLastOnDisk) {
    namespace fs = std::filesystem;
    const std::string plane = "[GUNSTATIONS]\r\ngunstation.0=1,0,0,0,850,0,0,0,0,0,0,1.5,-0.3,2.0,0,0,0,0\r\n";
    zerkon::testing::TempFolder folder;
    const std::string dp = folder.file("plane.dp");
    const auto newestAfterARun = [&] {
        EXPECT_TRUE(zerkon::harmonizeFile(dp, {900, 1, {}}).ok());
        std::error_code error;
        const std::vector<BackupFile> backups = zerkon::listBackups(zerkon::machineFileSystem(), dp, error);
        EXPECT_EQ(backups.size(), 2u);
        const BackupFile* newest = zerkon::newestBackup(backups);
        return newest ? newest->number : 0;
    };
    fs::create_directory(folder.path() / "plane_003.dp");
    zerkon::testing::writeBytes(dp, plane);
    ASSERT_TRUE(zerkon::harmonizeFile(dp, {900, 1, {}}).ok());
    zerkon::testing::writeBytes(dp, plane); // cp -p of an old copy
    fs::last_write_time(dp, fs::last_write_time(dp) - std::chrono::hours(24 * 365 * 21));
    EXPECT_EQ(newestAfterARun(), 2u);
    fs::remove(folder.file("plane_001.dp"));
    EXPECT_EQ(newestAfterARun(), 1u);
}

TEST(ParseRunComment, ReadsWhatThePassWrote) {
    std::tm time{};
    time.tm_year = 126, time.tm_mon = 11, time.tm_mday = 7, time.tm_wday = 1, time.tm_hour = 5, time.tm_min = 8;
    const std::string comment = zerkon::runComment(zerkon::makeAimSettings(1200.5f, -3.0f), time);
    EXPECT_EQ(comment,
              "; Guns harmonized by Zerkon - Range: 1200.5 ft.  Elevation: -3.0 ft. - Mon Dec  7 05:08:00 2026\n");
    const auto record = zerkon::parseRunComment(comment);
    ASSERT_TRUE(record);
    EXPECT_EQ(record->rangeFeet, "1200.5");
    EXPECT_EQ(record->elevationFeet, "-3.0");
    EXPECT_EQ(record->when, "Mon Dec  7 05:08:00 2026");
    EXPECT_FALSE(zerkon::parseRunComment("; a comment\n"));
    const auto byHand = zerkon::parseRunComment("; guns HARMONIZED by hand\n"); // dropped by the pass all the same
    ASSERT_TRUE(byHand);
    EXPECT_EQ(byHand->rangeFeet, "");
}

// Backup names are UTF-8: their column is as wide as their characters.
TEST(BackupTable, LinesUpNamesByCharacters) {
    zerkon::cli::TextTable table({zerkon::cli::TextTable::Align::left, zerkon::cli::TextTable::Align::right});
    table.addRow({"Яков_001.dp", "1"});
    table.addRow({"k_001.dp", "20"});
    std::ostringstream out;
    table.write(out);
    EXPECT_EQ(out.str(), "Яков_001.dp   1\nk_001.dp     20\n");
}

} // namespace
