// What a replaced file keeps on POSIX beyond its bits and owner, and who may replace it: the temporary file is private
// while it is written, the new file gets the current one's permissions and extended attributes only after.
#include <zerkon/file_system.hpp>
#include <zerkon/pass.hpp>
#include <zerkon/replace_file.hpp>

#include "command_line.hpp"
#include "test_files.hpp"

#include <gtest/gtest.h>

#include <array>
#include <cerrno>
#include <cstdint>
#include <cstring>
#include <functional>
#include <sstream>
#include <string>
#include <vector>

#include <grp.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#ifdef __linux__
#include <sys/xattr.h>
#endif

namespace {

using namespace zerkon::testing;

constexpr uid_t kNobody = 65534;

struct Answer {
    int code;
    std::string said;
};

// Runs `run` in a child process as the user `uid`, with the group of that number, so that a test run by root can be
// someone else; the child's answer comes back through a pipe.
Answer asUser(uid_t uid, const std::function<Answer()>& run) {
    int ends[2];
    if (::pipe(ends) != 0) return {-1, "no pipe"};
    const pid_t child = ::fork();
    if (child == 0) {
        ::close(ends[0]);
        const bool becameUser =
            uid == ::geteuid() || (::setgroups(0, nullptr) == 0 && ::setegid(uid) == 0 && ::seteuid(uid) == 0);
        const Answer answer = becameUser ? run() : Answer{-1, "cannot become the user"};
        [[maybe_unused]] const ssize_t put = ::write(ends[1], answer.said.data(), answer.said.size());
        ::_exit(answer.code);
    }
    ::close(ends[1]);
    std::string said;
    char buffer[512];
    for (ssize_t got; (got = ::read(ends[0], buffer, sizeof buffer)) > 0;)
        said.append(buffer, static_cast<std::size_t>(got));
    ::close(ends[0]);
    int status = 0;
    ::waitpid(child, &status, 0);
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, said};
}

Answer harmonize(const std::string& path) {
    zerkon::PassOptions options;
    options.localTime = fixedClock;
    const zerkon::PassResult result = zerkon::harmonizeFile(path, {}, options);
    return {result.ok() ? 0 : 1, result.reason};
}

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

// A user who is not root cannot give a new file away: another user's file would become theirs, and its owner would
// lose it, so the run is refused before anything is written and the command exits 1. So is a file whose group, which
// has access, is not one of theirs; one whose group has no access loses nothing. A sticky folder changes nothing.
TEST(PosixIdentity, OnlyTheOwnerReplacesAFile) {
    if (::geteuid() != 0) GTEST_SKIP() << "needs root to give files away and to become another user";
    constexpr uid_t kOther = 1;
    const struct {
        uid_t owner, group;
        mode_t mode, folderMode;
        int code;
        const char* said;
    } cases[] = {{kOther, kOther, 0666, 0777, 1, "it belongs to another user, and a new file would be yours"},
                 {kOther, kOther, 0666, 01777, 1, "it belongs to another user"},
                 {kNobody, kOther, 0660, 0777, 1, "its group, which has access to it, is not one of yours"},
                 {kNobody, kOther, 0600, 0777, 0, ""}};
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.owner) + ":" + std::to_string(c.group) + " " + std::to_string(c.mode));
        TempFolder folder;
        const std::string plane = folder.file("plane.dp");
        const std::string content = "[GUNSTATIONS]\r\ngunstation.0=1,0,0,0,850,0,0,0,0,0,0,1.5,-0.3,2.0,0,0,0,0\r\n";
        writeBytes(plane, content);
        ASSERT_EQ(::chown(plane.c_str(), c.owner, c.group), 0);
        ASSERT_EQ(::chmod(plane.c_str(), c.mode), 0);
        ASSERT_EQ(::chmod(folder.path().c_str(), c.folderMode), 0);
        const Answer answer = asUser(kNobody, [&] {
            const char* arguments[] = {"zerkon-cli", "harmonize", plane.c_str()};
            std::ostringstream out, err;
            return Answer{zerkon::cli::runCommandLine(3, arguments, out, err, false), err.str()};
        });
        EXPECT_EQ(answer.code, c.code) << answer.said;
        EXPECT_NE(answer.said.find(c.said), std::string::npos) << answer.said;
        if (c.code == 0) continue;
        EXPECT_EQ(folder.names(), std::vector<std::string>{"plane.dp"});
        EXPECT_EQ(readBytes(plane), content);
        struct stat info {};
        ASSERT_EQ(::stat(plane.c_str(), &info), 0);
        EXPECT_EQ(info.st_uid, c.owner);
    }
}

#ifdef __linux__
std::string attribute(const std::string& path, const char* name) {
    std::string value(4096, '\0');
    const ssize_t size = ::getxattr(path.c_str(), name, value.data(), value.size());
    return size < 0 ? "(none)" : value.substr(0, static_cast<std::size_t>(size));
}

// A POSIX access list as the kernel keeps it in system.posix_acl_access: a version, then a tag, permissions and id
// for each entry, in order of tag, little-endian.
std::string accessList(const std::vector<std::array<std::uint32_t, 3>>& entries) {
    std::string bytes;
    const auto put = [&](std::uint32_t value, int size) {
        for (int byte = 0; byte < size; ++byte)
            bytes += static_cast<char>((value >> (8 * byte)) & 0xff);
    };
    put(2, 4);
    for (const auto& entry : entries) {
        put(entry[0], 2);
        put(entry[1], 2);
        put(entry[2], 4);
    }
    return bytes;
}

// The new file takes the extended attributes of the one it replaces. A read-only file of a user who is not root takes
// its user attributes too: they are given while its owner may still write it. The access list comes with its mask:
// dropped, the mask would come back as the group bits, and the file's group, which had no access, would read it.
TEST(PosixIdentity, ExtendedAttributesAreKept) {
    constexpr std::uint32_t kNoId = 0xffffffff, kUserObj = 1, kUser = 2, kGroupObj = 4, kMask = 0x10, kOther = 0x20;
    const struct {
        const char* name;
        std::string value;
        mode_t mode;
        bool asNobody;
    } cases[] = {
        {"user.origin", "hangar 3", 0644, false},
        {"user.origin", "hangar 3", 0444, true},
        {"system.posix_acl_access",
         accessList(
             {{kUserObj, 6, kNoId}, {kUser, 6, 1}, {kGroupObj, 0, kNoId}, {kMask, 6, kNoId}, {kOther, 0, kNoId}}),
         0600, false},
    };
    std::string unsupported;
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.name) + (c.asNobody ? " as nobody" : ""));
        if (c.asNobody && ::geteuid() != 0) continue; // only root becomes another user
        TempFolder folder;
        const std::string plane = folder.file("plane.dp");
        writeBytes(plane, "[GUNSTATIONS]\r\ngunstation.0=1,0,0,0,850,0,0,0,0,0,0,1.5,-0.3,2.0,0,0,0,0\r\n");
        const uid_t owner = c.asNobody ? kNobody : ::geteuid();
        ASSERT_EQ(::chown(folder.path().c_str(), owner, owner), 0);
        ASSERT_EQ(::chown(plane.c_str(), owner, owner), 0);
        ASSERT_EQ(::chmod(plane.c_str(), c.mode), 0);
        if (::setxattr(plane.c_str(), c.name, c.value.data(), c.value.size(), 0) != 0) {
            ASSERT_EQ(errno, ENOTSUP) << std::strerror(errno);
            unsupported += std::string(" ") + c.name;
            continue;
        }
        const mode_t mode = modeOf(plane);
        const Answer answer = asUser(owner, [&] { return harmonize(plane); });
        ASSERT_EQ(answer.code, 0) << answer.said;
        EXPECT_EQ(attribute(plane, c.name), attribute(folder.file("plane_001.dp"), c.name));
        EXPECT_EQ(modeOf(plane), mode);
    }
    if (!unsupported.empty()) GTEST_SKIP() << "the test folder's file system keeps no" << unsupported;
}
#endif

} // namespace
