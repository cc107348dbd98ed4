#include "folders_listed_once.hpp"

#include <zerkon/dp_format.hpp>

namespace zerkon::cli {
namespace {

// The folder as written, then the name in lower case: the key that a name's variants in any case share.
std::string caseKey(const std::string& path) {
    std::string key = path;
    for (std::size_t i = folderOf(path).size(); i < key.size(); ++i)
        key[i] = asciiLower(key[i]);
    return key;
}

} // namespace

std::vector<std::string> FoldersListedOnce::namesInAnyCase(const std::string& path, std::error_code& error) {
    const std::string folder = folderOf(path);
    if (listed_.count(folder) == 0) {
        const std::vector<std::string> names = below_.list(folder, error);
        if (error) return {};
        for (const std::string& name : names)
            names_.emplace(caseKey(folder + name), name);
        listed_.insert(folder);
    }
    std::error_code statusError;
    const PathKind kind = below_.status(path, statusError);
    if (!statusError && kind == PathKind::absent) removed(path);
    if (!statusError && kind != PathKind::absent) added(path);

    std::vector<std::string> names;
    const std::string key = caseKey(path);
    for (auto it = names_.lower_bound({key, std::string()}); it != names_.end() && it->first == key; ++it)
        names.push_back(it->second);
    return names;
}

std::unique_ptr<OutputFile> FoldersListedOnce::createNew(const std::string& path, NewFileAccess access,
                                                         std::error_code& error) {
    std::unique_ptr<OutputFile> file = below_.createNew(path, access, error);
    if (file) added(path);
    return file;
}

void FoldersListedOnce::rename(const std::string& from, const std::string& to, std::error_code& error) {
    below_.rename(from, to, error);
    if (error) return;
    removed(from);
    added(to);
}

void FoldersListedOnce::remove(const std::string& path, std::error_code& error) {
    below_.remove(path, error);
    if (!error) removed(path);
}

void FoldersListedOnce::link(const std::string& existing, const std::string& newName, std::error_code& error) {
    below_.link(existing, newName, error);
    if (!error) added(newName);
}

void FoldersListedOnce::replace(const std::string& from, const std::string& to, std::error_code& error) {
    below_.replace(from, to, error);
    if (error) return;
    removed(from);
    added(to);
}

void FoldersListedOnce::added(const std::string& path) {
    if (listed_.count(folderOf(path)) != 0) names_.emplace(caseKey(path), nameOf(path));
}

void FoldersListedOnce::removed(const std::string& path) { names_.erase({caseKey(path), nameOf(path)}); }

} // namespace zerkon::cli
