// Runs the command line on a large file and kills it at random moments: with SIGKILL, and with SIGTERM, SIGINT and
// SIGHUP, after which no temporary file may stay. After each kill the original bytes must be intact under the DP file's
// name or its backup's, the DP file must never be partly written, the compiled copy must be gone only once the new file
// is in place, and the next run must succeed.
//
//   crash_safety ZERKON_CLI [--kills N] [--seconds S] [--megabytes M] [--seed X]
#include "dp_generator.hpp"

#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

struct Options {
    std::string cli;
    int kills = 40;
    double seconds = 60;
    int megabytes = 8;
    unsigned seed = std::random_device{}();
};

std::string contentOf(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

void put(const fs::path& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary).write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

// The run comment holds the time of the run; everything else of a harmonized file is the same from run to run.
std::string withoutRunComment(const std::string& file) {
    const std::string prefix = "; Guns harmonized";
    std::string kept;
    for (std::size_t start = 0; start < file.size();) {
        std::size_t end = file.find('\n', start);
        end = end == std::string::npos ? file.size() : end + 1;
        if (file.compare(start, prefix.size(), prefix) != 0) kept.append(file, start, end - start);
        start = end;
    }
    return kept;
}

pid_t startHarmonize(const Options& options, const fs::path& dp) {
    const pid_t pid = ::fork();
    if (pid != 0) return pid;
    const int null = ::open("/dev/null", O_WRONLY);
    ::dup2(null, 1);
    ::dup2(null, 2);
    const std::string path = dp.string();
    ::execl(options.cli.c_str(), "zerkon-cli", "harmonize", "--range", "900", "--elevation", "1", path.c_str(),
            static_cast<char*>(nullptr));
    ::_exit(127);
}

// Spins until `backup` exists, the process has ended, or `limit` has passed.
void waitForBackupOrEnd(const fs::path& backup, pid_t pid, Clock::duration limit) {
    const auto until = Clock::now() + limit;
    std::error_code ignored;
    while (!fs::exists(backup, ignored) && Clock::now() < until) {
        siginfo_t info{};
        if (::waitid(P_PID, static_cast<id_t>(pid), &info, WEXITED | WNOHANG | WNOWAIT) == 0 && info.si_pid == pid)
            return; // ended: left for waitFor to collect
    }
}

// The exit status, or -1 when the process was killed.
int waitFor(pid_t pid) {
    int status = 0;
    ::waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

void resetFolder(const fs::path& folder, const std::string& original) {
    for (const auto& entry : fs::directory_iterator(folder))
        fs::remove(entry.path());
    put(folder / "plane.dp", original);
    put(folder / "plane.cdp", "compiled");
}

struct Tally {
    int killed = 0;
    int finishedFirst = 0; // the run ended before the kill came
    int beforeReplace = 0; // killed while the DP file still held the original
    int afterReplace = 0;  // killed once the new file was in place
    int leftTemporary = 0; // kills that left a temporary file behind
    std::vector<std::string> problems;
};

// What a kill may leave: the original under the DP name or the backup name, never a partial DP file.
void checkAfterKill(const fs::path& folder, const std::string& original, const std::string& harmonized, Tally& tally,
                    int round) {
    const auto problem = [&](const std::string& what) {
        tally.problems.push_back("kill " + std::to_string(round) + ": " + what);
    };
    const fs::path dp = folder / "plane.dp";
    const fs::path backup = folder / "plane_001.dp";
    const bool dpExists = fs::exists(dp);
    const std::string dpBytes = dpExists ? contentOf(dp) : std::string();
    const bool dpIsOriginal = dpExists && dpBytes == original;
    const bool dpIsNew = dpExists && !dpIsOriginal && withoutRunComment(dpBytes) == harmonized;
    const bool backupIsOriginal = fs::exists(backup) && contentOf(backup) == original;

    if (!dpIsOriginal && !backupIsOriginal) problem("the original bytes are under neither name");
    if (dpExists && !dpIsOriginal && !dpIsNew) problem("the DP file is partly written");
    if (!dpExists) problem("no file under the DP name");
    if (!dpIsNew && !fs::exists(folder / "plane.cdp"))
        problem("the compiled copy went before the new file was in place");
    if (dpIsOriginal) ++tally.beforeReplace;
    if (dpIsNew) ++tally.afterReplace;
    for (const auto& entry : fs::directory_iterator(folder))
        if (entry.path().filename().string().find("zerkon-tmp") != std::string::npos) {
            ++tally.leftTemporary;
            break;
        }
}

bool parse(int argc, char** argv, Options& options) {
    if (argc < 2) return false;
    options.cli = argv[1];
    for (int i = 2; i + 1 < argc; i += 2) {
        const std::string name = argv[i];
        const char* value = argv[i + 1];
        if (name == "--kills")
            options.kills = std::atoi(value);
        else if (name == "--seconds")
            options.seconds = std::atof(value);
        else if (name == "--megabytes")
            options.megabytes = std::atoi(value);
        else if (name == "--seed")
            options.seed = static_cast<unsigned>(std::strtoul(value, nullptr, 10));
        else
            return false;
    }
    return true;
}

} // namespace

int main(int argc, char** argv) {
    Options options;
    if (!parse(argc, argv, options)) {
        std::fprintf(stderr, "usage: crash_safety ZERKON_CLI [--kills N] [--seconds S] [--megabytes M] [--seed X]\n");
        return 2;
    }
    const fs::path folder = fs::temp_directory_path() / ("zerkon-crash-" + std::to_string(::getpid()));
    fs::create_directories(folder);
    const fs::path dp = folder / "plane.dp";
    const std::string original = zerkon::testing::largeDpFile(static_cast<std::size_t>(options.megabytes) << 20);

    // Runs to the end tell what a run writes and how long it takes. The shortest run counts: the first is slowed by
    // a cold cache, and kills that come after the end test nothing.
    auto runTime = Clock::duration::max();
    const auto timedRun = [&] {
        const auto begin = Clock::now();
        const int status = waitFor(startHarmonize(options, dp));
        runTime = std::min(runTime, Clock::now() - begin);
        return status;
    };
    for (int calibration = 0; calibration < 3; ++calibration) {
        resetFolder(folder, original);
        if (timedRun() != 0) {
            std::fprintf(stderr, "crash safety: a run without a kill failed\n");
            return 1;
        }
    }
    const std::string harmonized = withoutRunComment(contentOf(dp));

    std::mt19937 random(options.seed);
    Tally tally;
    const auto start = Clock::now();
    for (int round = 1; round <= options.kills; ++round) {
        if (std::chrono::duration<double>(Clock::now() - start).count() > options.seconds) break;
        // Every second kill comes at a random moment of a run; the others come as soon as the backup name appears,
        // at the renames, which a random moment rarely hits.
        const long long run = std::chrono::duration_cast<std::chrono::microseconds>(runTime).count();
        std::uniform_int_distribution<long long> delay(0, run * 11 / 10);
        resetFolder(folder, original);
        const pid_t pid = startHarmonize(options, dp);
        if (round % 2)
            std::this_thread::sleep_for(std::chrono::microseconds(delay(random)));
        else
            waitForBackupOrEnd(folder / "plane_001.dp", pid, runTime * 10);
        // SIGKILL in turn with the signals a run catches to remove its temporary file first.
        const int signals[] = {SIGKILL, SIGTERM, SIGINT, SIGHUP};
        const int signal = signals[round / 2 % 4];
        ::kill(pid, signal);
        if (waitFor(pid) >= 0) {
            ++tally.finishedFirst;
            continue;
        }
        ++tally.killed;
        const int leftBefore = tally.leftTemporary;
        checkAfterKill(folder, original, harmonized, tally, round);
        if (signal != SIGKILL && tally.leftTemporary > leftBefore)
            tally.problems.push_back("kill " + std::to_string(round) + ": " + ::strsignal(signal) +
                                     " left a temporary file");
        if (fs::exists(dp) && timedRun() != 0)
            tally.problems.push_back("kill " + std::to_string(round) + ": the next run failed");
    }
    const double elapsed = std::chrono::duration<double>(Clock::now() - start).count();
    std::error_code ignored;
    fs::remove_all(folder, ignored);

    std::printf("crash safety: %d kills survived of %d (%d before the file was replaced, %d after; %d left a "
                "temporary file), %d runs ended before their kill; %.1f s, a run takes %.0f ms on %d MiB, seed %u\n",
                tally.killed - static_cast<int>(tally.problems.size()), tally.killed, tally.beforeReplace,
                tally.afterReplace, tally.leftTemporary, tally.finishedFirst, elapsed,
                std::chrono::duration<double, std::milli>(runTime).count(), options.megabytes, options.seed);
    for (const std::string& problem : tally.problems)
        std::printf("  %s\n", problem.c_str());
    return tally.problems.empty() && tally.killed > 0 ? 0 : 1;
}
