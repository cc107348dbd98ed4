// What a replaced file keeps on POSIX beyond its bits and owner, and who may replace it: the temporary file is private
// while it is written, and the new file gets the current one's permissions only after.
#include <zerkon/file_system.hpp>
#include <zerkon/replace_file.hpp>

#include "test_files.hpp"

#include <gtest/gtest.h>

#include <string>

#include <sys/stat.h>

namespace {

using namespace zerkon::testing;

mode_t modeOf(const std::string& path) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 ? info.st_mode & 07777 : 0;
}

// The temporary file is 0600 while the content is written, whatever the original is; then the new file is the
// original's (the backup's for a file restored where there is none). A picture drawn again is a new file as any other.
TEST(PosixIdentity, TemporaryFileIsPrivateWhileWritten) {
    const mode_t umaskBefore = ::umask(022);
    const struct {
        zerkon::CurrentFile current;
        mode_t original, whileWritten, after;
    } cases[] = {{zerkon::CurrentFile::keptAsBackup, 0644, 0600, 0644},
                 {zerkon::CurrentFile::keptAsBackup, 0440, 0600, 0440},
                 {zerkon::CurrentFile::absent, 0604, 0600, 0604},
                 {zerkon::CurrentFile::overwritten, 0600, 0644, 0644}};
    for (const auto& c : cases) {
        SCOPED_TRACE(static_cast<int>(c.current));
        TempFolder folder;
        const std::string path = folder.file("plane.dp");
        const std::string source = folder.file(c.current == zerkon::CurrentFile::absent ? "plane_001.dp" : "plane.dp");
        writeBytes(source, "old");
        ASSERT_EQ(::chmod(source.c_str(), c.original), 0);
        mode_t whileWritten = 0;
        const zerkon::Replaced done =
            zerkon::replaceFile(zerkon::machineFileSystem(), path, c.current, source,
                                [&](zerkon::InputFile*, zerkon::OutputFile& output, const std::string& temporary) {
                                    std::error_code error;
                                    output.write("new", 3, error);
                                    whileWritten = modeOf(temporary);
                                    return std::string();
                                });
        ASSERT_TRUE(done.reason.empty()) << done.reason;
        EXPECT_EQ(whileWritten, c.whileWritten);
        EXPECT_EQ(modeOf(path), c.after);
        EXPECT_EQ(readBytes(path), "new");
    }
    ::umask(umaskBefore);
}

} // namespace
