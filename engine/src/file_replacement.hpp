// What the pass, its preview and a restore share: reasons, links followed, and the compiled copies of a DP file.
#pragma once

#include <zerkon/dp_names.hpp>
#include <zerkon/file_system.hpp>
#include <zerkon/replace_file.hpp>

#include <string>
#include <system_error>
#include <vector>

namespace zerkon {

// "cannot <what> "<path>": <the system's words>"
std::string fileOperationReason(const std::string& what, const std::string& path, const std::error_code& error);

// The file a DP path stands for: a symbolic link is followed, so its target is replaced in its own folder and the
// link stays a link. Returns the reason of a failure, empty on success.
std::string followLinks(FileSystem& files, const std::string& path, std::string& target);

// Writes the source byte for byte; `from` names it in the reason of a failure.
ContentWriter copyOf(const std::string& from);

// What is at `path`, looked at again once no run holds its folder when nothing is there: where the file system has no
// links, another run puts its new file in place with two renames, and between them the name is free for a moment.
// Never called with the folder's lock held: a second lock in one process waits for the first on POSIX.
PathKind settledStatus(FileSystem& files, const std::string& path, std::error_code& error);

// The compiled copies of the DP file at `path` that exist. Where names tell case apart, "PLANE.cdp", "plane.CDP"
// and the others all count: the simulator takes any of them.
std::vector<std::string> compiledCopies(FileSystem& files, const std::string& path, std::error_code& error);

} // namespace zerkon
