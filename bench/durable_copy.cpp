#include "durable_copy.hpp"

#include <cerrno>
#include <cstring>

#include <fcntl.h>
#include <unistd.h>

namespace zerkon::bench {
namespace {

// Large blocks, as a copy program reads and writes (the pass uses 64 KiB, which a real DP file fits in too).
char buffer[256 * 1024];

std::string failed(const char* what, const std::string& path) {
    return std::string(what) + " " + path + ": " + std::strerror(errno);
}

bool copyDurably(int from, int to) {
    for (;;) {
        const ssize_t got = ::read(from, buffer, sizeof buffer);
        if (got < 0) return false;
        if (got == 0) return ::fsync(to) == 0;
        for (ssize_t written = 0; written < got;) {
            const ssize_t put = ::write(to, buffer + written, static_cast<std::size_t>(got - written));
            if (put < 0) return false;
            written += put;
        }
    }
}

} // namespace

std::string replaceByDurableCopy(const std::string& path, const std::string& keptAs) {
    const std::string copy = path + ".copy";
    const int from = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (from < 0) return failed("open", path);
    const int to = ::open(copy.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (to < 0) {
        ::close(from);
        return failed("create", copy);
    }
    const bool copied = copyDurably(from, to);
    const std::string reason = copied ? std::string() : failed("copy to", copy);
    ::close(from);
    if (::close(to) != 0 || !copied) return reason.empty() ? failed("close", copy) : reason;
    if (::link(path.c_str(), keptAs.c_str()) != 0) return failed("link", keptAs);
    if (::rename(copy.c_str(), path.c_str()) != 0) return failed("rename", copy);
    const std::size_t slash = path.rfind('/');
    const std::string folder = slash == std::string::npos ? "." : path.substr(0, slash + 1);
    const int folderDescriptor = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (folderDescriptor < 0) return failed("open", folder);
    const bool synced = ::fsync(folderDescriptor) == 0;
    ::close(folderDescriptor);
    return synced ? std::string() : failed("sync", folder);
}

} // namespace zerkon::bench
