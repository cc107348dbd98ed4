// Every file operation of the pass fails in turn at every point it is called, on a file that takes several reads and
// writes, once as a passing fault and once for good (a disk that has gone away). Whatever fails, the DP file keeps
// its bytes, the compiled copy stays, nothing else is left behind, and the reason names the operation and the file.
#include <zerkon/pass.hpp>

#include "plot_command.hpp"

#include "dp_generator.hpp"
#include "faulty_file_system.hpp"
#include "test_files.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

namespace {

using namespace zerkon::testing;
using Names = std::vector<std::string>;

// With `twoNames`, the DP file is also named "other.dp" (a hard link).
struct PlaneFolder {
    TempFolder folder;
    std::string dp = folder.file("plane.dp");
    explicit PlaneFolder(const std::string& content, bool twoNames = false) {
        writeBytes(dp, content);
        writeBytes(folder.file("plane.cdp"), "compiled");
        if (twoNames) std::filesystem::create_hard_link(dp, folder.file("other.dp"));
    }
};

std::unique_ptr<FaultyFileSystem> fileSystem(bool withLinks, Operation operation, int occurrence,
                                             bool keepsFailing = false) {
    auto files = std::make_unique<FaultyFileSystem>();
    files->failOn(operation, occurrence, std::make_error_code(std::errc::io_error), keepsFailing);
    if (!withLinks) files->withoutLinks();
    return files;
}

zerkon::PassResult harmonize(const std::string& path, zerkon::FileSystem& files) {
    return zerkon::harmonizeFile(path, {}, {&files, fixedClock});
}

// Calls `check` with a file system that fails at each call a clean run made (`counter` counted them), once and for
// good. Returns how many points were walked.
template <typename Check> int walkEveryPoint(const FaultyFileSystem& counter, bool withLinks, Check check) {
    int points = 0;
    for (int index = 0; index < kOperationCount; ++index) {
        const auto operation = static_cast<Operation>(index);
        for (int occurrence = 1; occurrence <= counter.calls(operation); ++occurrence) {
            for (const bool keepsFailing : {false, true}) {
                SCOPED_TRACE(std::string(operationName(operation)) + " #" + std::to_string(occurrence) +
                             (keepsFailing ? " and after" : ""));
                ++points;
                check(*fileSystem(withLinks, operation, occurrence, keepsFailing), operation, occurrence, keepsFailing);
            }
        }
    }
    return points;
}

// What the reason must say for the `occurrence`-th call of `operation` failing: a word of the operation and the
// file's name, closing quote included (the temporary file's name begins with the DP file's). The temporary file and
// the DP file are closed in turn, twice for a file with two names: its backup is a copy, made first.
std::vector<std::string> expectedInReason(Operation operation, int occurrence) {
    switch (operation) {
    case Operation::status:
        return occurrence == 1 ? Names{"query", "plane.dp\""} : Names{"backup name", "plane.dp\""};
    case Operation::identity:
        return {"query", "plane.dp\""};
    case Operation::open:
    case Operation::read:
        return {operationName(operation), "plane.dp\""};
    case Operation::create:
    case Operation::write:
    case Operation::flush:
        return {operationName(operation), "zerkon-tmp\""};
    case Operation::close:
        return occurrence % 2 == 1 ? Names{"close", "zerkon-tmp\""} : Names{"close", "plane.dp\""};
    case Operation::rename:
        return occurrence == 1 ? Names{"rename", "plane_001.dp\""} : Names{"rename", "zerkon-tmp\"", "plane.dp\""};
    case Operation::resolveLinks:
        return {"follow the link", "plane.dp\""};
    case Operation::copyIdentity:
        return {"permissions", "plane.dp\""};
    case Operation::checkReplaceable:
        return {"replace", "plane.dp\""};
    case Operation::lockFolder:
        return {"lock", "plane.dp\""};
    default: // failures that cost no more than a warning
        return {};
    }
}

// With links the new file replaces the DP file in one step; without them (FAT, and Windows) two renames do it. A file
// with two names (`twoNames`) keeps a copy as its backup, and its other name keeps the original.
void walkEveryFailure(bool withLinks, bool twoNames = false) {
    const std::string original = largeDpFile(2 * 1024 * 1024);
    const Names others = twoNames ? Names{"other.dp"} : Names{};
    const auto namesWith = [&](Names names) {
        names.insert(names.end(), others.begin(), others.end());
        std::sort(names.begin(), names.end());
        return names;
    };

    // A run with nothing failing tells how often each operation is called, and what the file becomes.
    PlaneFolder clean(original, twoNames);
    const auto counter = fileSystem(withLinks, Operation::status, 0);
    ASSERT_TRUE(harmonize(clean.dp, *counter).ok());
    const std::string harmonized = readBytes(clean.dp);
    ASSERT_GE(counter->calls(Operation::read), 4) << "the file must take several reads";
    ASSERT_GE(counter->calls(Operation::write), 4) << "the file must take several writes";

    const int points = walkEveryPoint(
        *counter, withLinks, [&](FaultyFileSystem& files, Operation operation, int occurrence, bool keepsFailing) {
            PlaneFolder plane(original, twoNames);
            const zerkon::PassResult result = harmonize(plane.dp, files);
            if (twoNames) {
                EXPECT_EQ(readBytes(plane.folder.file("other.dp")), original);
            }

            if (result.ok()) {
                // Without a link, or when the replace fails, the renames still do it. A failure once the new
                // file is in place (deleting the compiled copy, syncing the folder) is a warning.
                const bool compiledKept = std::filesystem::exists(plane.folder.file("plane.cdp"));
                const Names expected =
                    compiledKept ? Names{"plane.cdp", "plane.dp", "plane_001.dp"} : Names{"plane.dp", "plane_001.dp"};
                EXPECT_EQ(plane.folder.names(), namesWith(expected));
                if (twoNames) {
                    EXPECT_EQ(std::filesystem::hard_link_count(plane.folder.file("plane_001.dp")), 1u);
                }
                EXPECT_EQ(readBytes(plane.dp), harmonized);
                EXPECT_EQ(readBytes(plane.folder.file("plane_001.dp")), original);
                if (operation != Operation::link && operation != Operation::replace) {
                    EXPECT_FALSE(result.warning.empty());
                }
                if (compiledKept) {
                    EXPECT_NE(result.warning.find("plane.cdp"), std::string::npos) << result.warning;
                }
                return;
            }
            EXPECT_EQ(result.failure, zerkon::Failure::fileOperation);
            for (const std::string& word : expectedInReason(operation, occurrence))
                EXPECT_NE(result.reason.find(word), std::string::npos) << result.reason;
            EXPECT_EQ(readBytes(plane.folder.file("plane.cdp")), "compiled");
            if (operation == Operation::rename && occurrence == 2 && keepsFailing) {
                // The new file cannot take the DP file's name and the original cannot go back to it: it stays
                // under the backup name, and the reason says where.
                EXPECT_EQ(plane.folder.names(), (Names{"plane.cdp", "plane_001.dp"}));
                EXPECT_EQ(readBytes(plane.folder.file("plane_001.dp")), original);
                EXPECT_NE(result.reason.find("kept in"), std::string::npos) << result.reason;
            } else {
                EXPECT_EQ(plane.folder.names(), namesWith({"plane.cdp", "plane.dp"}));
                EXPECT_EQ(readBytes(plane.dp), original);
            }
        });
    std::printf("fault walk %s links%s: %d failure points walked over a file of %zu bytes; calls of a pass:",
                withLinks ? "with" : "without", twoNames ? ", two names" : "", points, original.size());
    for (int index = 0; index < kOperationCount; ++index)
        std::printf(" %s %d", operationName(static_cast<Operation>(index)),
                    counter->calls(static_cast<Operation>(index)));
    std::printf("\n");
}

TEST(FaultWalk, WithoutLinksEveryFailingOperationLeavesTheFileAsItWas) { walkEveryFailure(false); }

TEST(FaultWalk, WithLinksEveryFailingOperationLeavesTheFileAsItWas) { walkEveryFailure(true); }

TEST(FaultWalk, AFileWithTwoNamesKeepsBothNamesAsTheyWere) { walkEveryFailure(true, true); }

// plot --force over an existing picture: whatever fails, the picture is the old one or the new one whole, the DP
// file is untouched, nothing else is left behind, and a failure says so.
void walkEveryPlotFailure(bool withLinks) {
    const std::string dp = largeDpFile(4000);
    struct Drawing {
        PlaneFolder plane;
        std::string svg = plane.folder.file("plane.svg");
        explicit Drawing(const std::string& dp) : plane(dp) { writeBytes(svg, "old picture"); }
        int plot(zerkon::FileSystem& files, std::string& messages) const {
            std::ostringstream out, err;
            zerkon::cli::Console console{out, err};
            const int code = zerkon::cli::runPlot({plane.dp, {}, svg, true, &files}, console);
            messages = err.str();
            return code;
        }
    };
    Drawing clean(dp);
    const auto counter = fileSystem(withLinks, Operation::status, 0);
    std::string messages;
    ASSERT_EQ(clean.plot(*counter, messages), 0) << messages;
    const std::string drawn = readBytes(clean.svg);

    walkEveryPoint(*counter, withLinks, [&](FaultyFileSystem& files, Operation, int, bool) {
        Drawing drawing(dp);
        const int code = drawing.plot(files, messages);
        EXPECT_EQ(drawing.plane.folder.names(), (Names{"plane.cdp", "plane.dp", "plane.svg"}));
        EXPECT_EQ(readBytes(drawing.plane.dp), dp);
        EXPECT_EQ(readBytes(drawing.svg), code == 0 ? drawn : "old picture");
        EXPECT_EQ(code == 0, messages.empty()) << messages;
    });
}

TEST(FaultWalk, PlotForceWithoutLinksLeavesTheOldPictureOrTheNewOne) { walkEveryPlotFailure(false); }

TEST(FaultWalk, PlotForceWithLinksLeavesTheOldPictureOrTheNewOne) { walkEveryPlotFailure(true); }

#ifndef _WIN32
TEST(FaultWalk, WithLinksTheDpFileIsReplacedInOneStep) {
    TempFolder folder;
    writeBytes(folder.file("plane.dp"), largeDpFile(1000));
    FaultyFileSystem files;
    ASSERT_TRUE(harmonize(folder.file("plane.dp"), files).ok());
    EXPECT_EQ(files.calls(Operation::link), 1);
    EXPECT_EQ(files.calls(Operation::replace), 1);
    EXPECT_EQ(files.calls(Operation::rename), 0);
}
#endif

} // namespace
