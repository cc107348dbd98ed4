#include "file_list.hpp"

#include <zerkon/backups.hpp>
#include <zerkon/dp_names.hpp>
#include <zerkon/outcome.hpp>

#include <algorithm>
#include <filesystem>
#include <ostream>

namespace zerkon::cli {
bool sameFile(const std::string& a, const std::string& b) {
    try {
        const std::filesystem::path first(a), second(b);
        std::error_code absent;
        return std::filesystem::equivalent(first, second, absent) ||
               first.lexically_normal() == second.lexically_normal();
    } catch (const std::exception&) { // a name the system cannot convert
        return a == b;
    }
}

std::string notADpFileName(const std::string& path) {
    return isDpName(path) ? std::string() : "not a DP file (the name does not end in .dp); left alone";
}

std::vector<NamedFile> eachFileOnce(const std::vector<std::string>& paths) {
    std::vector<NamedFile> files;
    for (const std::string& path : paths) {
        const auto seen =
            std::find_if(files.begin(), files.end(), [&](const NamedFile& file) { return sameFile(file.path, path); });
        if (seen == files.end())
            files.push_back({path, notADpFileName(path), {}});
        else if (seen->path != path)
            seen->alsoNamed.push_back(path);
    }
    return files;
}

void sayAlsoNamed(const NamedFile& file, std::ostream& err) {
    for (const std::string& other : file.alsoNamed)
        err << "zerkon-cli: " << printable(other) << ": same file as " << printable(file.path) << ", handled once\n";
}

std::string namedOriginalOf(const std::string& path, const std::vector<NamedFile>& files) {
    for (const NamedFile& file : files)
        if (file.refusal.empty() && zerkon::isBackupOf(path, file.path)) return file.path;
    return {};
}

} // namespace zerkon::cli
