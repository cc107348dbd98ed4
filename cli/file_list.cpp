#include "file_list.hpp"

#include <zerkon/backups.hpp>
#include <zerkon/dp_format.hpp>
#include <zerkon/dp_names.hpp>
#include <zerkon/file_system.hpp>
#include <zerkon/outcome.hpp>

#include <algorithm>
#include <filesystem>
#include <map>
#include <optional>
#include <ostream>
#include <utility>

#ifdef _WIN32
#include <windows.h>
#else
#include <sys/stat.h>
#endif

namespace zerkon::cli {

std::string notADpFileName(const std::string& path) {
    return isDpName(path) ? std::string() : "not a DP file (the name does not end in .dp); left alone";
}

namespace {

// What tells files apart however their paths are written: the device and inode, or on Windows the volume's serial
// number and the file's index on it.
using FileId = std::pair<unsigned long long, unsigned long long>;

std::optional<FileId> fileIdOf(const std::string& path) {
#ifdef _WIN32
    const HANDLE file = ::CreateFileA(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                      OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (file == INVALID_HANDLE_VALUE) return std::nullopt;
    BY_HANDLE_FILE_INFORMATION info{};
    const bool known = ::GetFileInformationByHandle(file, &info);
    ::CloseHandle(file);
    if (!known) return std::nullopt;
    return FileId{info.dwVolumeSerialNumber,
                  (static_cast<unsigned long long>(info.nFileIndexHigh) << 32) | info.nFileIndexLow};
#else
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0) return std::nullopt;
    return FileId{static_cast<unsigned long long>(info.st_dev), static_cast<unsigned long long>(info.st_ino)};
#endif
}

std::string normalName(const std::string& path) {
    try {
        return std::filesystem::path(path).lexically_normal().string();
    } catch (const std::exception&) { // a name the system cannot convert
        return path;
    }
}

} // namespace

bool sameFile(const std::string& a, const std::string& b) {
    const std::optional<FileId> id = fileIdOf(a);
    return (id && id == fileIdOf(b)) || normalName(a) == normalName(b);
}

// Each file is identified once, so a long list costs one look-up a name rather than a comparison with every other.
std::vector<NamedFile> eachFileOnce(const std::vector<std::string>& paths) {
    std::vector<NamedFile> files;
    std::map<FileId, std::size_t> byId;
    std::map<std::string, std::size_t> byMissingName; // a missing file is the same only under the same name
    for (const std::string& path : paths) {
        const std::optional<FileId> id = fileIdOf(path);
        const std::size_t index = id ? byId.emplace(*id, files.size()).first->second
                                     : byMissingName.emplace(normalName(path), files.size()).first->second;
        if (index == files.size())
            files.push_back({path, notADpFileName(path), {}});
        else if (files[index].path != path)
            files[index].alsoNamed.push_back(path);
    }
    return files;
}

void sayAlsoNamed(const NamedFile& file, std::ostream& err) {
    for (const std::string& other : file.alsoNamed)
        err << "zerkon-cli: " << printable(other) << ": same file as " << printable(file.path) << ", handled once\n";
}

std::set<std::string> namedBackups(const std::vector<NamedFile>& files) {
    // A backup's name is its DP file's stem, "_", a number and ".dp": each name is held against the DP files of that
    // stem alone, so a long list costs one look-up a name.
    const auto stemKey = [](std::string stem) {
        if (kNamesIgnoreCase) std::transform(stem.begin(), stem.end(), stem.begin(), asciiLower);
        return stem;
    };
    std::multimap<std::string, std::string> byStem;
    for (const NamedFile& file : files)
        if (file.refusal.empty()) byStem.emplace(stemKey(dpStem(file.path)), file.path);
    std::set<std::string> backups;
    for (const NamedFile& file : files) {
        const std::string stem = dpStem(file.path);
        const std::size_t numberStart = stem.rfind('_');
        if (!file.refusal.empty() || numberStart == std::string::npos || numberStart < folderOf(stem).size()) continue;
        const auto originals = byStem.equal_range(stemKey(stem.substr(0, numberStart)));
        for (auto original = originals.first; original != originals.second; ++original)
            if (isBackupOf(file.path, original->second)) backups.insert(file.path);
    }
    return backups;
}

} // namespace zerkon::cli
