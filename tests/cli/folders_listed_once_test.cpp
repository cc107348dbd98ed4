#include "test_files.hpp"

#include "faulty_file_system.hpp"
#include "folders_listed_once.hpp"

#include <zerkon/dp_names.hpp>
#include <zerkon/pass.hpp>

#include <gtest/gtest.h>

namespace {

using zerkon::testing::TempFolder;

const std::string kAircraft =
    "[GUNSTATIONS]\r\n"
    "gunstation.0=1,3,1,350,835,750,0.3,0.25,4,80,12,-2.410,-0.080,1.150,0.40,0.00,0.62,mg\r\n";

// Passes over many aircraft of one folder read it once, and still find every compiled copy in any case: one made
// after the folder was read too, under the name the DP file gives it. A case twin there from the start still stops
// the pass.
TEST(FoldersListedOnce, OneListingServesEveryPass) {
    if (zerkon::kNamesIgnoreCase) GTEST_SKIP() << "names that differ only in case are one name here";
    TempFolder folder;
    for (const char* name : {"a.dp", "b.dp", "c.dp", "C.dp", "A.CDP", "a.cdp"})
        zerkon::testing::writeBytes(folder.file(name), kAircraft);
    zerkon::testing::FaultyFileSystem counted;
    zerkon::cli::FoldersListedOnce folders(counted);
    const zerkon::PassOptions options{&folders, zerkon::testing::fixedClock};

    const zerkon::PassResult a = zerkon::harmonizeFile(folder.file("a.dp"), {}, options);
    EXPECT_EQ(a.compiledDeleted, (std::vector<std::string>{folder.file("A.CDP"), folder.file("a.cdp")}));
    zerkon::testing::writeBytes(folder.file("b.cdp"), "made by the game meanwhile");
    const zerkon::PassResult b = zerkon::harmonizeFile(folder.file("b.dp"), {}, options);
    EXPECT_EQ(b.compiledDeleted, (std::vector<std::string>{folder.file("b.cdp")}));
    EXPECT_FALSE(zerkon::harmonizeFile(folder.file("c.dp"), {}, options).ok());

    EXPECT_EQ(counted.calls(zerkon::testing::Operation::list), 1);
    EXPECT_EQ(folder.names(), (std::vector<std::string>{"C.dp", "a.dp", "a_001.dp", "b.dp", "b_001.dp", "c.dp"}));
}

} // namespace
