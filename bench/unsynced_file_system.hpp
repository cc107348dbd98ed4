// The pass timed without its wait for the disk, so that it compares with a copy that does not wait either.
#pragma once

#include <zerkon/file_system.hpp>

#include <string>

namespace zerkon::bench {

// The machine's files, except that a flush does not wait for the disk: the pass without its fsync.
class UnsyncedFileSystem : public FileSystem {
public:
    PathKind status(const std::string& path, std::error_code& error) override;
    std::unique_ptr<InputFile> openForReading(const std::string& path, std::error_code& error) override;
    std::unique_ptr<OutputFile> createNew(const std::string& path, std::error_code& error) override;
    void rename(const std::string& from, const std::string& to, std::error_code& error) override;
    void remove(const std::string& path, std::error_code& error) override;
    void link(const std::string& existing, const std::string& newName, std::error_code& error) override;
    void replace(const std::string& from, const std::string& to, std::error_code& error) override;
};

} // namespace zerkon::bench
