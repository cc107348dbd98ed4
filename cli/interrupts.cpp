#include "interrupts.hpp"

#include <zerkon/replace_file.hpp>

#include <csignal>

#ifdef _WIN32
#include <windows.h>
#else
#include <unistd.h>
#endif

namespace zerkon::cli {
namespace {

constexpr std::size_t kLongestName = 4096;

#ifdef _WIN32
// Windows calls this on a thread of its own; the next handler, the system's, then ends the process.
BOOL WINAPI removeTemporaryAndStop(DWORD) {
    removeTemporaryFileInProgress();
    return FALSE;
}
#else
extern "C" void removeTemporaryAndStop(int signalNumber) {
    removeTemporaryFileInProgress();
    std::signal(signalNumber, SIG_DFL);
    std::raise(signalNumber);
}
#endif

} // namespace

void removeTemporaryFileInProgress() noexcept {
    char name[kLongestName];
    if (!copyTemporaryFileInProgress(name, sizeof name)) return;
#ifdef _WIN32
    // The name as the system's "A" calls read it (UTF-8 under the program's manifest), converted without the heap,
    // which the interrupted thread may hold.
    wchar_t wide[kLongestName];
    if (::MultiByteToWideChar(CP_ACP, MB_ERR_INVALID_CHARS, name, -1, wide, kLongestName) == 0) return;
    // The replacement may still be writing: its file is shared for deletion, so it goes once the writer's handle is
    // closed, when the process ends at the latest. Given the DP file's attributes, it may be read-only by now.
    if (!::DeleteFileW(wide) && ::GetLastError() == ERROR_ACCESS_DENIED &&
        ::SetFileAttributesW(wide, FILE_ATTRIBUTE_NORMAL))
        ::DeleteFileW(wide);
#else
    ::unlink(name);
#endif
}

void removeTemporaryFileOnInterrupt() {
#ifdef _WIN32
    // Windows raises no SIGTERM or SIGHUP from outside, and the C runtime's SIGINT knows neither Ctrl+Break nor a
    // closed window.
    ::SetConsoleCtrlHandler(removeTemporaryAndStop, TRUE);
#else
    for (const int signalNumber : {SIGINT, SIGTERM, SIGHUP})
        std::signal(signalNumber, removeTemporaryAndStop);
#endif
}

} // namespace zerkon::cli
