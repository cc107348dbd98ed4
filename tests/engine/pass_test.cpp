#include <zerkon/backups.hpp>
#include <zerkon/dp_names.hpp>
#include <zerkon/file_system.hpp>
#include <zerkon/harmonize.h>
#include <zerkon/pass.hpp>

#include "faulty_file_system.hpp"
#include "test_files.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

namespace {

using namespace zerkon::testing;
using Names = std::vector<std::string>;

const std::string kPlane = "[AIRCRAFT]\r\nname=Test\r\n[GUNSTATIONS]\r\n"
                           "gunstation.0=1,0,0,0,850,0,0,0,0,0,0,1.5,-0.3,2.0,0,0,0,0\r\n"
                           "[GUNS.0]\r\ngun.0=1.5,-0.25,2,3.2,1.1,7,x\r\n";

zerkon::PassResult harmonize(const std::string& path, const char* range = "900", const char* elevation = "1",
                             zerkon::FileSystem* files = nullptr, std::vector<zerkon::StationSettings> stations = {}) {
    zerkon::SettingsReading reading = zerkon::readRunSettings(range, elevation);
    if (!reading.ok()) {
        zerkon::PassResult refused;
        static_cast<zerkon::Outcome&>(refused) = reading;
        return refused;
    }
    reading.settings.stations = std::move(stations);
    return zerkon::harmonizeFile(path, reading.settings, {files, fixedClock});
}

int countOf(const std::string& text, const std::string& what) {
    int count = 0;
    for (auto pos = text.find(what); pos != std::string::npos; pos = text.find(what, pos + 1))
        ++count;
    return count;
}

TEST(Pass, ThreeRunsLeaveThreeBackupsAndOneComment) {
    TempFolder folder;
    const std::string dp = folder.file("plane.dp");
    writeBytes(dp, kPlane);
    ASSERT_TRUE(harmonize(dp, "600", "2").ok());
    // Settings of some stations go in a second comment line, which the next run drops like the first.
    ASSERT_TRUE(harmonize(dp, "700", "3", nullptr,
                          {{{{0, 1}}, zerkon::makeAimSettings(820.2f, 1)},
                           {{{4, 4}, {6, 9}}, zerkon::makeAimSettings(500, -2)}})
                    .ok());
    EXPECT_NE(readBytes(dp).find("; Guns harmonized by Zerkon - Range: 700.0 ft.  Elevation: 3.0 ft. - "
                                 "Mon Dec  7 05:00:00 2026\r\n"
                                 "; Guns harmonized by Zerkon - Stations 0-1: Range 820.2 ft.  Elevation 1.0 ft. - "
                                 "Stations 4,6-9: Range 500.0 ft.  Elevation -2.0 ft.\r\n[GUNSTATIONS]\r\n"),
              std::string::npos);
    std::error_code error;
    const auto record = zerkon::readRunRecord(zerkon::machineFileSystem(), dp, error);
    ASSERT_TRUE(record);
    EXPECT_EQ(record->stations, "Stations 0-1: Range 820.2 ft.  Elevation 1.0 ft. - Stations 4,6-9: Range 500.0 ft.  "
                                "Elevation -2.0 ft.");
    const zerkon::PassResult last = harmonize(dp, "900", "1");
    ASSERT_TRUE(last.ok()) << last.reason;

    EXPECT_EQ(folder.names(), (Names{"plane.dp", "plane_001.dp", "plane_002.dp", "plane_003.dp"}));
    EXPECT_EQ(readBytes(folder.file("plane_001.dp")), kPlane);
    EXPECT_EQ(last.backupPath, folder.file("plane_003.dp"));
    const std::string text = readBytes(dp);
    EXPECT_EQ(countOf(text, "; Guns harmonized"), 1);
    EXPECT_NE(text.find("; Guns harmonized by Zerkon - Range: 900.0 ft.  Elevation: 1.0 ft. - "
                        "Mon Dec  7 05:00:00 2026\r\n[GUNSTATIONS]\r\n"),
              std::string::npos);
    EXPECT_NE(text.find("-0.31448,0,-0.31559,0\r\n"), std::string::npos);
    EXPECT_EQ(last.counts.stationsAimed, 1);
    EXPECT_EQ(last.counts.gunLinesRewritten, 1);
    EXPECT_EQ(last.counts.headerCommentsWritten, 1);
    EXPECT_EQ(last.counts.oldCommentsDropped, 2); // both lines of the second run
}

// Another program that creates `name` between the pass's check that it is free and the pass's rename or link.
class RacingFileSystem : public FaultyFileSystem {
public:
    RacingFileSystem(std::string name, bool withLinks) : name_(std::move(name)), withLinks_(withLinks) {
        if (!withLinks) withoutLinks(); // like FAT
    }
    void rename(const std::string& from, const std::string& to, std::error_code& error) override {
        race(to);
        FaultyFileSystem::rename(from, to, error);
    }
    void link(const std::string& existing, const std::string& newName, std::error_code& error) override {
        if (withLinks_) race(newName);
        FaultyFileSystem::link(existing, newName, error);
    }

private:
    void race(const std::string& path) {
        if (name_.empty() || zerkon::nameOf(path) != name_) return;
        writeBytes(path, "older");
        name_.clear();
    }
    std::string name_;
    bool withLinks_;
};

TEST(Pass, BackupTakesTheFirstFreeNumberAndOverwritesNothing) {
    Names first999;
    for (int n = 1; n <= 999; ++n) {
        char name[32];
        std::snprintf(name, sizeof name, "plane_%03d.dp", n);
        first999.push_back(name);
    }
    const struct {
        const char* name;
        std::vector<std::string> existing; // each holds "older"
        const char* takenMeanwhile;        // by another program, between the pass's check and its rename
        const char* expected;
    } cases[] = {
        {"none", {}, "", "plane_001.dp"},
        {"after one", {"plane_001.dp"}, "", "plane_002.dp"},
        {"gap reused", {"plane_002.dp", "plane_003.dp"}, "", "plane_001.dp"},
        {"a folder is not free", {"plane_001.dp/"}, "", "plane_002.dp"},
        {"taken between the check and the rename", {}, "plane_001.dp", "plane_002.dp"},
        {"a fourth digit after 999", first999, "", "plane_1000.dp"},
    };
    for (const auto& c : cases) {
        for (const bool withLinks : {false, true}) {
            SCOPED_TRACE(std::string(c.name) + (withLinks ? " with links" : " without"));
            TempFolder folder;
            writeBytes(folder.file("plane.dp"), kPlane);
            Names older; // every file there was, or another program made, keeps its bytes
            Names expectedNames{"plane.dp", c.expected};
            for (std::string name : c.existing) {
                if (name.back() == '/') {
                    name.pop_back();
                    std::filesystem::create_directory(folder.file(name));
                } else {
                    writeBytes(folder.file(name), "older");
                    older.push_back(name);
                }
                expectedNames.push_back(name);
            }
            if (*c.takenMeanwhile) {
                older.push_back(c.takenMeanwhile);
                expectedNames.push_back(c.takenMeanwhile);
            }
            std::sort(expectedNames.begin(), expectedNames.end());
            RacingFileSystem files(c.takenMeanwhile, withLinks);
            const zerkon::PassResult result = harmonize(folder.file("plane.dp"), "900", "1", &files);
            ASSERT_TRUE(result.ok()) << result.reason;
            EXPECT_EQ(result.backupPath, folder.file(c.expected));
            EXPECT_EQ(readBytes(folder.file(c.expected)), kPlane);
            EXPECT_EQ(folder.names(), expectedNames);
            for (const std::string& name : older)
                EXPECT_EQ(readBytes(folder.file(name)), "older") << name;
        }
    }
}

// The names are cut from the end of a DP file's name, in any case; a file of any other name is left alone, since names
// cut from it would be other files' ("name.tcdp").
TEST(Pass, NamesAreCutOnlyFromADpName) {
    const struct {
        const char* file;
        const char* compiled;
        const char* backup; // none: refused
    } cases[] = {
        {"PLANE.DP", "PLANE.cdp", "PLANE_001.dp"},
        {"name.txt", "name.tcdp", nullptr},
    };
    for (const auto& c : cases) {
        TempFolder folder;
        writeBytes(folder.file(c.file), kPlane);
        writeBytes(folder.file(c.compiled), "compiled");
        const zerkon::PassResult result = harmonize(folder.file(c.file));
        EXPECT_EQ(result.ok(), c.backup != nullptr) << result.reason;
        Names expected{c.file, c.backup ? c.backup : c.compiled};
        std::sort(expected.begin(), expected.end());
        EXPECT_EQ(folder.names(), expected) << c.file;
    }
}

// Every name comes from the DP file's own name: a path whose name does not end in ".dp" gives names beside it, never
// ones cut out of its folder's name.
TEST(DpNames, ComeFromTheStemAndParseBackExactly) {
    const struct {
        const char* dp;
        const char* backup1;
        const char* compiled;
    } names[] = {
        {"a/plane.DP", "a/plane_001.dp", "a/plane.cdp"},
        {"data.dp/ab", "data.dp/ab_001.dp", "data.dp/ab.cdp"},
    };
    for (const auto& n : names) {
        EXPECT_EQ(zerkon::backupName(n.dp, 1), n.backup1);
        EXPECT_EQ(zerkon::compiledName(n.dp), n.compiled);
    }
    const struct {
        const char* name;
        std::optional<unsigned> number;
    } backups[] = {{"plane_001.dp", 1u},
                   {"plane_1000.dp", 1000u},
                   {"plane_0001.dp", std::nullopt},
                   {"plane_000.dp", std::nullopt},
                   {"plane_01.dp", std::nullopt},
                   {"plane.dp", std::nullopt},
                   {"PLANE_002.DP", zerkon::kNamesIgnoreCase ? std::optional<unsigned>(2) : std::nullopt}};
    for (const auto& b : backups)
        EXPECT_EQ(zerkon::backupNumber("a/plane.dp", b.name), b.number) << b.name;
}

TEST(Pass, RefusesSettingsThatCannotAimBeforeTouchingAnyFile) {
    const struct {
        const char* range;
        const char* elevation;
        zerkon::Failure failure;
    } cases[] = {
        {"", "1", zerkon::Failure::badRange},           {"ft", "1", zerkon::Failure::badRange},
        {"inf", "1", zerkon::Failure::badRange},        {"nan", "1", zerkon::Failure::badRange},
        {"1e999", "1", zerkon::Failure::badRange},      {"900", "", zerkon::Failure::badElevation},
        {"900", "-inf", zerkon::Failure::badElevation}, {"900", "x1", zerkon::Failure::badElevation},
        {"-5", "1", zerkon::Failure::badRange},         {"0", "1", zerkon::Failure::badRange},
        {"1e-45", "1", zerkon::Failure::badRange}, // greater than zero in feet, but not in metres
    };
    for (const auto& c : cases) {
        TempFolder folder;
        writeBytes(folder.file("plane.dp"), kPlane);
        writeBytes(folder.file("plane.cdp"), "compiled");
        const zerkon::PassResult result = harmonize(folder.file("plane.dp"), c.range, c.elevation);
        EXPECT_EQ(result.failure, c.failure) << c.range << " / " << c.elevation;
        EXPECT_NE(result.reason.find(c.failure == zerkon::Failure::badRange ? "range" : "elevation"),
                  std::string::npos);
        EXPECT_EQ(folder.names(), (Names{"plane.cdp", "plane.dp"}));
        EXPECT_EQ(readBytes(folder.file("plane.dp")), kPlane);
    }
}

TEST(Pass, SettingsAreReadAsTyped) {
    TempFolder folder;
    const std::string dp = folder.file("plane.dp");
    writeBytes(dp, kPlane);
    ASSERT_TRUE(harmonize(dp, " +900ft", "1.25 feet").ok());
    EXPECT_NE(readBytes(dp).find("Range: 900.0 ft.  Elevation: 1.2 ft."), std::string::npos);
}

TEST(HarmonizeDpFile, ReturnsZeroWhenDoneAndOneOnFailure) {
    TempFolder folder;
    const std::string dp = folder.file("plane.dp");
    writeBytes(dp, kPlane);
    EXPECT_EQ(HarmonizeDpFile(dp.c_str(), "900", "1"), 0);
    EXPECT_EQ(HarmonizeDpFile(dp.c_str(), "abc", "1"), 1);
    EXPECT_EQ(HarmonizeDpFile(folder.file("none.dp").c_str(), "900", "1"), 1);
    EXPECT_EQ(HarmonizeDpFile(nullptr, "900", "1"), 1);
    EXPECT_EQ(folder.names(), (Names{"plane.dp", "plane_001.dp"}));
}

} // namespace
