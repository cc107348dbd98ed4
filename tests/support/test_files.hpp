// Small file helpers for tests: a temporary folder that cleans up after itself, and whole-file reads and writes.
#pragma once

#include <ctime>
#include <filesystem>
#include <string>
#include <vector>

namespace zerkon::testing {

class TempFolder {
public:
    TempFolder();
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const std::filesystem::path& path() const { return path_; }
    std::string file(const std::string& name) const { return (path_ / name).string(); }
    std::vector<std::string> names() const; // sorted file names in the folder

private:
    std::filesystem::path path_;
};

std::string readBytes(const std::string& path);
void writeBytes(const std::string& path, const std::string& bytes);
std::string testDataPath(const std::string& relative);

// Mon Dec  7 05:00:00 2026: the clock the golden files were written with.
std::tm fixedClock();

} // namespace zerkon::testing
