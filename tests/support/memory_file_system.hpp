// Files in memory, with links; FaultyFileSystem over it makes any call fail, or takes the links away.
#pragma once

#include <zerkon/file_system.hpp>

#include <cstdint>
#include <ctime>
#include <map>
#include <memory>
#include <string>

namespace zerkon::testing {

class MemoryFileSystem : public FileSystem {
public:
    // Holds `files`, by path, with their content.
    explicit MemoryFileSystem(const std::map<std::string, std::string>& files = {});

    // A file last changed at `changed`; each file created, renamed or linked through the seam changes after every
    // change before it.
    void put(const std::string& path, std::string content, std::time_t changed = 0);
    bool has(const std::string& path) const { return files_.count(path) != 0; }
    const std::string& content(const std::string& path) const { return files_.at(path)->bytes; }
    std::map<std::string, std::string> snapshot() const;

    PathKind status(const std::string& path, std::error_code& error) override;
    FileIdentity identity(const std::string& path, std::error_code& error) override;
    std::unique_ptr<InputFile> openForReading(const std::string& path, std::error_code& error) override;
    std::unique_ptr<OutputFile> createNew(const std::string& path, NewFileAccess access,
                                          std::error_code& error) override;
    void rename(const std::string& from, const std::string& to, std::error_code& error) override;
    void remove(const std::string& path, std::error_code& error) override;
    void link(const std::string& existing, const std::string& newName, std::error_code& error) override;
    void replace(const std::string& from, const std::string& to, std::error_code& error) override;
    std::vector<std::string> list(const std::string& folder, std::error_code& error) override;
    std::chrono::system_clock::time_point changeTime(const std::string& path, std::error_code& error) override;

    struct File {
        std::string bytes;
        std::time_t changed = 0;
        std::uint64_t inode = 0;
    };
    FileIdentity identityOf(const std::shared_ptr<File>& file) const;

private:
    std::shared_ptr<File> newFile(std::string content, std::time_t changed);

    std::map<std::string, std::shared_ptr<File>> files_;
    std::time_t clock_ = 1'000'000;
    std::uint64_t inodes_ = 0;
};

} // namespace zerkon::testing
