// What the file seam shares on every platform: the error category, the split of a path, a name's variants in any case,
// and the front end's word for a run that waits for another.
#include "machine_file.hpp"

#include <zerkon/dp_format.hpp>
#include <zerkon/replace_file.hpp>

#include <algorithm>
#include <mutex>
#include <utility>

namespace zerkon {
namespace {

std::mutex folderWaitNoticeGuard;
FolderWaitNotice folderWaitNotice;

#ifdef _WIN32
constexpr const char* kSeparators = "/\\:";
#else
constexpr const char* kSeparators = "/";
#endif

class FileErrorCategory : public std::error_category {
public:
    const char* name() const noexcept override { return "zerkon-file"; }
    std::string message(int code) const override {
        switch (static_cast<FileError>(code)) {
        case FileError::openInAnotherProgram:
            return "the file is open in another program";
        case FileError::othersFile:
            return "it belongs to another user, and a new file would be yours: only its owner or root may replace it";
        case FileError::othersGroup:
            return "its group, which has access to it, is not one of yours, and a new file would be in yours: "
                   "only root or a member of its group may replace it";
        }
        return "unknown file error";
    }
    std::error_condition default_error_condition(int code) const noexcept override {
        const auto error = static_cast<FileError>(code);
        if (error == FileError::openInAnotherProgram) return std::errc::permission_denied;
        if (error == FileError::othersFile || error == FileError::othersGroup)
            return std::errc::operation_not_permitted;
        return {code, *this};
    }
};

} // namespace

std::error_code make_error_code(FileError error) {
    static const FileErrorCategory category;
    return {static_cast<int>(error), category};
}

std::string folderOf(const std::string& path) {
    const std::size_t separator = path.find_last_of(kSeparators);
    return separator == std::string::npos ? std::string() : path.substr(0, separator + 1);
}

std::string nameOf(const std::string& path) { return path.substr(folderOf(path).size()); }

std::vector<std::string> FileSystem::namesInAnyCase(const std::string& path, std::error_code& error) {
    const std::string name = nameOf(path);
    std::vector<std::string> names = list(folderOf(path), error);
    names.erase(std::remove_if(names.begin(), names.end(),
                               [&name](const std::string& other) { return !equalsNoCase(other, name); }),
                names.end());
    return names;
}

FolderWaitNotice setFolderWaitNotice(FolderWaitNotice notice) {
    const std::lock_guard<std::mutex> guard(folderWaitNoticeGuard);
    std::swap(notice, folderWaitNotice);
    return notice;
}

void machine::sayWaitingForFolder(const std::string& folder) {
    std::unique_lock<std::mutex> guard(folderWaitNoticeGuard);
    const FolderWaitNotice notice = folderWaitNotice;
    guard.unlock(); // the notice may take its time
    if (notice) notice(folder.empty() ? "." : folder);
}

} // namespace zerkon
