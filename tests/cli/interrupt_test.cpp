// An interrupt removes the temporary file while the run still holds it open: on Windows the console's handler runs
// on a thread of its own, so the run goes on meanwhile and must end with the DP file as it was.
#include "faulty_file_system.hpp"
#include "interrupts.hpp"
#include "test_files.hpp"

#include <zerkon/pass.hpp>

#include <gtest/gtest.h>

#include <filesystem>
#include <thread>

namespace {

namespace fs = std::filesystem;
using namespace zerkon::testing;

const std::string kPlane = "[GUNSTATIONS]\r\ngunstation.0=1,0,0,0,850,0,0,0,0,0,0,1.5,-0.3,2.0,0,0,0,0\r\n";

// Interrupts the run from another thread just before or just after the new file is given the DP file's identity
// (read-only among it), with the new file written and still open.
class InterruptedFileSystem : public FaultyFileSystem {
public:
    explicit InterruptedFileSystem(bool afterIdentity) : afterIdentity_(afterIdentity) {}
    std::string copyIdentity(const std::string& from, const std::string& to, std::error_code& error) override {
        if (!afterIdentity_) interrupt();
        std::string what = FaultyFileSystem::copyIdentity(from, to, error);
        if (afterIdentity_) interrupt();
        return what;
    }

private:
    static void interrupt() { std::thread(zerkon::cli::removeTemporaryFileInProgress).join(); }
    bool afterIdentity_;
};

TEST(Interrupt, RemovesTheTemporaryFileTheRunHoldsOpen) {
    for (const bool readOnly : {false, true}) {
        SCOPED_TRACE(readOnly ? "read-only, after the identity" : "while written");
        TempFolder folder;
        writeBytes(folder.file("plane.dp"), kPlane);
        if (readOnly) fs::permissions(folder.file("plane.dp"), fs::perms::owner_read);
        InterruptedFileSystem interrupted(readOnly);
        const zerkon::PassResult result =
            zerkon::harmonizeFile(folder.file("plane.dp"), {900, 1, {}}, {&interrupted, fixedClock});
        EXPECT_FALSE(result.ok());
        EXPECT_EQ(folder.names(), std::vector<std::string>{"plane.dp"});
        EXPECT_EQ(readBytes(folder.file("plane.dp")), kPlane);
        fs::permissions(folder.file("plane.dp"), fs::perms::owner_all); // Windows deletes no read-only file
    }
}

} // namespace
