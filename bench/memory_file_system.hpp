// Files held in memory, so a benchmark can time the pass's own work apart from the kernel's.
#pragma once

#include <zerkon/file_system.hpp>

#include <map>
#include <string>

namespace zerkon::bench {

class MemoryFileSystem : public FileSystem {
public:
    std::map<std::string, std::string> files;
    std::size_t reserve = 0; // bytes set aside for each file created

    PathKind status(const std::string& path, std::error_code& error) override;
    std::unique_ptr<InputFile> openForReading(const std::string& path, std::error_code& error) override;
    std::unique_ptr<OutputFile> createNew(const std::string& path, std::error_code& error) override;
    void rename(const std::string& from, const std::string& to, std::error_code& error) override;
    void remove(const std::string& path, std::error_code& error) override;
};

// The machine's files, except that a flush does not wait for the disk: the pass without its fsync.
class UnsyncedFileSystem : public FileSystem {
public:
    PathKind status(const std::string& path, std::error_code& error) override;
    std::unique_ptr<InputFile> openForReading(const std::string& path, std::error_code& error) override;
    std::unique_ptr<OutputFile> createNew(const std::string& path, std::error_code& error) override;
    void rename(const std::string& from, const std::string& to, std::error_code& error) override;
    void remove(const std::string& path, std::error_code& error) override;
};

} // namespace zerkon::bench
