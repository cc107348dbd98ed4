// Files in memory, with the power to make any one operation fail, for walking every failure of a file operation.
#pragma once

#include <zerkon/file_system.hpp>

#include <ctime>
#include <map>
#include <memory>
#include <string>

namespace zerkon::testing {

class MemoryFileSystem : public FileSystem {
public:
    // Operation number `n` (counted from 1 over every call, reads and writes included) fails with an I/O error.
    void failOperation(int n) { failAt_ = n; }
    // Operation `n` and every one after it fail, as on a disk that has gone away.
    void failFrom(int n) {
        failAt_ = n;
        failForever_ = true;
    }
    int operationCount() const { return operations_; }
    // Without links (FAT, say) link and replace fail as not supported, and callers must do with renames.
    void setLinksSupported(bool supported) { linksSupported_ = supported; }

    // A file written at `modified`; each file written through the seam is newer than every file before it.
    void put(const std::string& path, std::string content, std::time_t modified = 0);
    bool has(const std::string& path) const { return files_.count(path) != 0; }
    const std::string& content(const std::string& path) const { return files_.at(path)->bytes; }
    std::map<std::string, std::string> snapshot() const;

    // Counts the operation and tells whether it is the one that fails.
    bool fails(std::error_code& error);

    PathKind status(const std::string& path, std::error_code& error) override;
    std::unique_ptr<InputFile> openForReading(const std::string& path, std::error_code& error) override;
    std::unique_ptr<OutputFile> createNew(const std::string& path, std::error_code& error) override;
    void rename(const std::string& from, const std::string& to, std::error_code& error) override;
    void remove(const std::string& path, std::error_code& error) override;
    void link(const std::string& existing, const std::string& newName, std::error_code& error) override;
    void replace(const std::string& from, const std::string& to, std::error_code& error) override;
    std::vector<std::string> list(const std::string& folder, std::error_code& error) override;
    std::time_t modificationTime(const std::string& path, std::error_code& error) override;
    void copyOwnership(const std::string& from, const std::string& to, std::error_code& error) override;
    std::unique_ptr<FolderLock> lockFolder(const std::string& folder, std::error_code& error) override;
    void syncFolder(const std::string& folder, std::error_code& error) override;

    struct File {
        std::string bytes;
        std::time_t modified = 0;
    };

private:
    std::map<std::string, std::shared_ptr<File>> files_;
    std::time_t clock_ = 1'000'000;
    int operations_ = 0;
    int failAt_ = 0;
    bool failForever_ = false;
    bool linksSupported_ = true;
};

} // namespace zerkon::testing
