// Small file helpers for tests: a temporary folder that cleans up after itself, and whole-file reads and writes.
#pragma once

#include "dp_generator.hpp" // fixedClock(), which the tests run the pass with

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

} // namespace zerkon::testing
