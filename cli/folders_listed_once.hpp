// The machine's files as one command over many DP files sees them: each folder is read once, however many of its
// files the command handles, so the cost per file does not grow with the folder.
#pragma once

#include <zerkon/file_system.hpp>

#include <set>
#include <string>
#include <utility>

namespace zerkon::cli {

// Passes every call on, and answers namesInAnyCase() from one listing of each folder, kept up to date with the
// names this command makes and removes. The name asked for is looked up again each time: a compiled copy that
// another program makes meanwhile is found under that name; only one made meanwhile in another case is missed,
// like one made just after the folder was read. Made for one command and dropped after it.
class FoldersListedOnce : public ForwardingFileSystem {
public:
    explicit FoldersListedOnce(FileSystem& below = machineFileSystem()) : ForwardingFileSystem(below) {}

    std::vector<std::string> namesInAnyCase(const std::string& path, std::error_code& error) override;
    std::unique_ptr<OutputFile> createNew(const std::string& path, NewFileAccess access,
                                          std::error_code& error) override;
    void rename(const std::string& from, const std::string& to, std::error_code& error) override;
    void remove(const std::string& path, std::error_code& error) override;
    void link(const std::string& existing, const std::string& newName, std::error_code& error) override;
    void replace(const std::string& from, const std::string& to, std::error_code& error) override;

private:
    void added(const std::string& path);
    void removed(const std::string& path);

    std::set<std::string> listed_;                        // the folders read so far
    std::set<std::pair<std::string, std::string>> names_; // their names: (the path in lower case, the name)
};

} // namespace zerkon::cli
