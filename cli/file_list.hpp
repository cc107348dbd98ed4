// Which of the files named on a command line a command handles.
#pragma once

#include <iosfwd>
#include <set>
#include <string>
#include <vector>

namespace zerkon::cli {

struct NamedFile {
    std::string path;
    std::string refusal;                // why the command leaves it alone; empty for a DP file to handle
    std::vector<std::string> alsoNamed; // later names of the same file (a hard link, "./k.dp"), handled under this one
};

// "zerkon-cli: NAME: same file as PATH, handled once" for each later name of `file`, so no name is skipped unsaid.
void sayAlsoNamed(const NamedFile& file, std::ostream& err);

// Why a command leaves the file at `path` alone: it touches only DP files, whose names end in ".dp" in any case, so
// "harmonize *" in an aircraft's folder cannot rewrite its other files. Empty for a DP file.
std::string notADpFileName(const std::string& path);

// Whether two paths name the same file ("k.dp", "./k.dp", a link to it); a missing file only under the same name.
bool sameFile(const std::string& a, const std::string& b);

// The files in the order given, each once however its path is written ("k.dp", "./k.dp", a link to it), with the
// refusal of every name that is not a DP file's.
std::vector<NamedFile> eachFileOnce(const std::vector<std::string>& paths);

// The paths among `files` that are numbered backups of a DP file also among them ("plane_001.dp" beside "plane.dp"):
// "harmonize *.dp" names the backups too, and harmonizing one would only make a backup of the backup.
std::set<std::string> namedBackups(const std::vector<NamedFile>& files);

} // namespace zerkon::cli
