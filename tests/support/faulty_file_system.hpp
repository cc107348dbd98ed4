// A file system that passes every call to another one (the machine's files, or files in memory) and can fail any
// chosen call, so tests can check what a failure at that point leaves behind. It can also lack links, like FAT.
#pragma once

#include <zerkon/file_system.hpp>

#include <functional>
#include <string>

namespace zerkon::testing {

enum class Operation {
    status,
    identity,
    open,
    create,
    read,
    write,
    flush,
    close,
    rename,
    remove,
    link,
    replace,
    list,
    changeTime,
    resolveLinks,
    copyIdentity,
    checkReplaceable,
    lockFolder,
    syncFolder,
};
constexpr int kOperationCount = static_cast<int>(Operation::syncFolder) + 1;

const char* operationName(Operation operation);

class FaultyFileSystem : public FileSystem {
public:
    explicit FaultyFileSystem(FileSystem& below = machineFileSystem()) : below_(below) {}

    // Fails the `occurrence`-th (from 1) call of `operation` with `error`. With `keepsFailing`, every later call of
    // `operation` fails too, as on a disk that has gone away.
    FaultyFileSystem& failOn(Operation operation, int occurrence,
                             std::error_code error = std::make_error_code(std::errc::io_error),
                             bool keepsFailing = false);
    // Fails call number `n` (from 1), counted over every operation, with an I/O error; with `keepsFailing`, every
    // call after it too.
    FaultyFileSystem& failCall(int n, bool keepsFailing = false);
    // Runs `action` as the `occurrence`-th call of `operation` begins: another program at work between two steps.
    FaultyFileSystem& actOn(Operation operation, int occurrence, std::function<void()> action);
    // No links, like FAT: link() fails as not supported without being counted, and the pass keeps to renames.
    FaultyFileSystem& withoutLinks();

    // How many calls were made so far, of `operation` or of all: run once with nothing failing to learn how many
    // points to walk.
    int calls(Operation operation) const { return calls_[static_cast<int>(operation)]; }
    int calls() const { return allCalls_; }

    // Counts a call and says whether it is one to fail (then `error` is set).
    bool shouldFail(Operation operation, std::error_code& error);

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
    std::string resolveLinks(const std::string& path, std::error_code& error) override;
    std::string copyIdentity(const std::string& from, const std::string& to, std::error_code& error) override;
    void checkReplaceable(const std::string& path, std::error_code& error) override;
    std::unique_ptr<FolderLock> lockFolder(const std::string& folder, std::error_code& error) override;
    void syncFolder(const std::string& folder, std::error_code& error) override;

private:
    FileSystem& below_;
    bool hasFailing_ = false;
    Operation failing_ = Operation::status;
    int occurrence_ = 0; // of `failing_`, or over every call when `hasFailing_` is false
    std::error_code error_ = std::make_error_code(std::errc::io_error);
    bool keepsFailing_ = false;
    Operation acting_ = Operation::status;
    int actingOccurrence_ = 0;
    std::function<void()> action_;
    bool links_ = true;
    int calls_[kOperationCount] = {};
    int allCalls_ = 0;
};

} // namespace zerkon::testing
