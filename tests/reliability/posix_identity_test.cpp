// What a replaced file keeps on POSIX beyond its bits and owner, and who may replace it: the temporary file is private
// while it is written, the new file gets the current one's permissions and extended attributes only after.
#include <zerkon/file_system.hpp>
#include <zerkon/replace_file.hpp>

#include "command_line.hpp"
#include "test_files.hpp"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
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
const std::string kPlane = "[GUNSTATIONS]\r\ngunstation.0=1,0,0,0,850,0,0,0,0,0,0,1.5,-0.3,2.0,0,0,0,0\r\n";

struct Answer {
    int code;
    std::string said;
};

// Runs `zerkon-cli harmonize path` in a child process as the user `uid`, with the group of that number, so that a test
// run by root can be someone else; the exit code and the messages come back.
Answer harmonizeAs(uid_t uid, const std::string& path) {
    int ends[2];
    if (::pipe(ends) != 0) return {-1, "no pipe"};
    const pid_t child = ::fork();
    if (child == 0) {
        if (uid != ::geteuid() && (::setgroups(0, nullptr) != 0 || ::setegid(uid) != 0 || ::seteuid(uid) != 0))
            ::_exit(99);
        const char* arguments[] = {"zerkon-cli", "harmonize", path.c_str()};
        std::ostringstream out, err;
        const int code = zerkon::cli::runCommandLine(3, arguments, out, err, false);
        const std::string said = err.str();
        [[maybe_unused]] const ssize_t put = ::write(ends[1], said.data(), said.size());
        ::_exit(code);
    }
    ::close(ends[1]);
    std::string said = child < 0 ? "no child process" : "";
    char buffer[512];
    for (ssize_t got; child > 0 && (got = ::read(ends[0], buffer, sizeof buffer)) > 0;)
        said.append(buffer, static_cast<std::size_t>(got));
    ::close(ends[0]);
    int status = 0;
    const bool ended = child > 0 && ::waitpid(child, &status, 0) == child && WIFEXITED(status);
    return {ended ? WEXITSTATUS(status) : -1, said};
}

mode_t modeOf(const std::string& path) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 ? info.st_mode & 07777 : 0;
}

// What a name holds, as the pass asks it: a symbolic link is what it leads to, one that leads nowhere still takes its
// name, and a name under a file is free. A folder held locked is synced through the lock's own descriptor.
TEST(PosixIdentity, WhatANameHolds) {
    TempFolder folder;
    writeBytes(folder.file("plane.dp"), "old");
    ASSERT_EQ(::mkdir(folder.file("hangar").c_str(), 0755), 0);
    ASSERT_EQ(::symlink("plane.dp", folder.file("to-file").c_str()), 0);
    ASSERT_EQ(::symlink("hangar", folder.file("to-folder").c_str()), 0);
    ASSERT_EQ(::symlink("nowhere", folder.file("dangling").c_str()), 0);
    ASSERT_EQ(::symlink("plane.dp/x", folder.file("under-file").c_str()), 0);
    const struct {
        const char* name;
        zerkon::PathKind kind;
    } cases[] = {{"plane.dp", zerkon::PathKind::file},     {"hangar", zerkon::PathKind::other},
                 {"hangar/", zerkon::PathKind::other},     {"absent.dp", zerkon::PathKind::absent},
                 {"plane.dp/x", zerkon::PathKind::absent}, {"to-file", zerkon::PathKind::file},
                 {"to-folder", zerkon::PathKind::other},   {"dangling", zerkon::PathKind::other},
                 {"under-file", zerkon::PathKind::absent}};
    zerkon::FileSystem& files = zerkon::machineFileSystem();
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        std::error_code error;
        EXPECT_EQ(files.status(folder.file(c.name), error), c.kind);
        EXPECT_FALSE(error);
    }
    const std::string hangar = folder.file("hangar/");
    std::error_code error;
    for (bool locked : {true, false}) {
        auto lock = locked ? files.lockFolder(hangar, error) : nullptr;
        files.syncFolder(hangar, error);
        EXPECT_FALSE(error) << error.message();
    }
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
// has access, is not one of theirs; one whose group has no access loses nothing. A sticky folder changes nothing. Root
// gives the new file the owner and group of the one it replaces.
TEST(PosixIdentity, OnlyTheOwnerReplacesAFile) {
    if (::geteuid() != 0) GTEST_SKIP() << "needs root to give files away and to become another user";
    constexpr uid_t kOther = 1, kRoot = 0;
    const struct {
        uid_t runAs, owner, group;
        mode_t mode, folderMode;
        int code;
        const char* said;
    } cases[] = {{kNobody, kOther, kOther, 0666, 0777, 1, "it belongs to another user, and a new file would be yours"},
                 {kNobody, kOther, kOther, 0666, 01777, 1, "it belongs to another user"},
                 {kNobody, kNobody, kOther, 0660, 0777, 1, "its group, which has access to it, is not one of yours"},
                 {kNobody, kNobody, kOther, 0600, 0777, 0, ""},
                 {kRoot, kNobody, kNobody, 0644, 0755, 0, ""}};
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.runAs) + " on " + std::to_string(c.owner) + ":" + std::to_string(c.group) + " " +
                     std::to_string(c.mode));
        TempFolder folder;
        const std::string plane = folder.file("plane.dp");
        writeBytes(plane, kPlane);
        ASSERT_EQ(::chown(plane.c_str(), c.owner, c.group), 0);
        ASSERT_EQ(::chmod(plane.c_str(), c.mode), 0);
        ASSERT_EQ(::chmod(folder.path().c_str(), c.folderMode), 0);
        const Answer answer = harmonizeAs(c.runAs, plane);
        EXPECT_EQ(answer.code, c.code) << answer.said;
        EXPECT_NE(answer.said.find(c.said), std::string::npos) << answer.said;
        struct stat info {};
        ASSERT_EQ(::stat(plane.c_str(), &info), 0);
        EXPECT_EQ(info.st_uid, c.owner);
        if (c.code != 0 || c.runAs == kRoot) { // else the group, which has no access, may be the runner's
            EXPECT_EQ(info.st_gid, c.group);
        }
        if (c.code == 0) continue;
        EXPECT_EQ(folder.names(), std::vector<std::string>{"plane.dp"});
        EXPECT_EQ(readBytes(plane), kPlane);
    }
}

#ifdef __linux__
std::string attribute(const std::string& path, const char* name) {
    std::string value(4096, '\0');
    const ssize_t size = ::getxattr(path.c_str(), name, value.data(), value.size());
    return size < 0 ? "(none)" : value.substr(0, static_cast<std::size_t>(size));
}

// The new file takes the extended attributes of the one it replaces. A read-only file of a user who is not root takes
// its user attributes too: they are given while its owner may still write it. The access list comes with its mask:
// dropped, the mask would come back as the group bits, and the file's group, which had no access, would read it.
TEST(PosixIdentity, ExtendedAttributesAreKept) {
    // An access list as the kernel keeps it: version 2, then a tag, permissions and user or group for each entry,
    // little-endian: the owner rw, user 1 rw, the owning group nothing, the mask rw, others nothing.
    const std::string accessList("\x02\0\0\0"
                                 "\x01\0\x06\0\xff\xff\xff\xff"
                                 "\x02\0\x06\0\x01\0\0\0"
                                 "\x04\0\0\0\xff\xff\xff\xff"
                                 "\x10\0\x06\0\xff\xff\xff\xff"
                                 "\x20\0\0\0\xff\xff\xff\xff",
                                 44);
    const struct {
        const char* name;
        std::string value;
        mode_t mode;
        bool asNobody;
    } cases[] = {
        {"user.origin", "hangar 3", 0644, false},
        {"user.origin", "hangar 3", 0444, true},
        {"system.posix_acl_access", accessList, 0600, false},
    };
    std::string unsupported;
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.name) + (c.asNobody ? " as nobody" : ""));
        if (c.asNobody && ::geteuid() != 0) continue; // only root becomes another user
        TempFolder folder;
        const std::string plane = folder.file("plane.dp");
        writeBytes(plane, kPlane);
        const uid_t owner = c.asNobody ? kNobody : ::geteuid();
        const gid_t group = c.asNobody ? kNobody : ::getegid();
        ASSERT_EQ(::chown(folder.path().c_str(), owner, group), 0);
        ASSERT_EQ(::chown(plane.c_str(), owner, group), 0);
        ASSERT_EQ(::chmod(plane.c_str(), c.mode), 0);
        if (::setxattr(plane.c_str(), c.name, c.value.data(), c.value.size(), 0) != 0) {
            ASSERT_EQ(errno, ENOTSUP) << std::strerror(errno);
            unsupported += std::string(" ") + c.name;
            continue;
        }
        const mode_t mode = modeOf(plane);
        const Answer answer = harmonizeAs(owner, plane);
        ASSERT_EQ(answer.code, 0) << answer.said;
        EXPECT_EQ(attribute(plane, c.name), attribute(folder.file("plane_001.dp"), c.name));
        EXPECT_EQ(modeOf(plane), mode);
    }
    if (!unsupported.empty()) GTEST_SKIP() << "the test folder's file system keeps no" << unsupported;
}
#endif

} // namespace
