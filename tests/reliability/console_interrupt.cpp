// Starts zerkon-cli.exe on a large file in a console of its own, and sends that console Ctrl+C or Ctrl+Break while the
// new file is being written: the run must end, leave no temporary file behind and leave the DP file as it was.
//
//   console_interrupt ZERKON_CLI FOLDER
#include "dp_generator.hpp"

#include <windows.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

namespace {

namespace fs = std::filesystem;

std::string contentOf(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

// Wine 8 sends Ctrl+C only; Windows sends both.
constexpr const char* kNotSent = "not sent, as Wine sends only Ctrl+C: error ";

// This process stays on the console it sends to: the event is for the run.
BOOL WINAPI ignoreEvent(DWORD) { return TRUE; }

// Returns what went wrong, empty when nothing did.
std::string interruptRun(const std::string& cli, const fs::path& dp, DWORD event, const std::string& original) {
    std::string command = "\"" + cli + "\" harmonize \"" + dp.string() + "\"";
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    if (!::CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, CREATE_NEW_CONSOLE, nullptr, nullptr,
                          &startup, &process))
        return "cannot start " + cli;
    ::CloseHandle(process.hThread);
    const fs::path temporary = dp.string() + ".zerkon-tmp";
    std::error_code ignored;
    for (int waited = 0; !fs::exists(temporary, ignored) && waited < 30000; waited += 5)
        ::Sleep(5);
    std::string failure;
    ::FreeConsole();
    if (!::AttachConsole(process.dwProcessId))
        failure = "cannot attach: error " + std::to_string(::GetLastError());
    else if (!::GenerateConsoleCtrlEvent(event, 0))
        failure = std::string(kNotSent) + std::to_string(::GetLastError());
    if (::WaitForSingleObject(process.hProcess, 60000) != WAIT_OBJECT_0) {
        ::TerminateProcess(process.hProcess, 1);
        failure = "the run did not end";
    }
    ::CloseHandle(process.hProcess);
    ::FreeConsole();
    if (!failure.empty()) return failure;
    if (fs::exists(temporary, ignored)) return "the temporary file is left";
    if (fs::exists(dp.parent_path() / (dp.stem().string() + "_001.dp"), ignored))
        return "the run ended before the event came; a larger file would show it";
    if (contentOf(dp) != original) return "the DP file changed";
    return {};
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: console_interrupt ZERKON_CLI FOLDER\n");
        return 2;
    }
    const fs::path folder = argv[2];
    fs::remove_all(folder);
    fs::create_directories(folder);
    const fs::path dp = folder / "large.dp";
    const std::string original = zerkon::testing::largeDpFile(64u << 20);
    std::ofstream(dp, std::ios::binary).write(original.data(), static_cast<std::streamsize>(original.size()));
    ::SetConsoleCtrlHandler(ignoreEvent, TRUE);
    int failed = 0;
    for (const auto& [event, name] :
         {std::pair<DWORD, const char*>{CTRL_C_EVENT, "Ctrl+C"}, {CTRL_BREAK_EVENT, "Ctrl+Break"}}) {
        const std::string failure = interruptRun(argv[1], dp, event, original);
        std::printf("%s: %s\n", name,
                    failure.empty() ? "no temporary file left, the DP file as it was" : failure.c_str());
        failed += failure.empty() || (event == CTRL_BREAK_EVENT && failure.rfind(kNotSent, 0) == 0) ? 0 : 1;
    }
    fs::remove_all(folder);
    return failed == 0 ? 0 : 1;
}
