// The main dialog's rules on texts and numbers, kept apart from the window so they can be checked on their own.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace zerkon::ui {

// Room for a full path of MAX_PATH UTF-16 units in UTF-8, the program's code page: three bytes each at most, as in
// Cyrillic or Chinese, and the terminating zero.
constexpr std::size_t pathBufferSize = 3 * 260 + 1;

struct ChosenPath {
    std::string name;   // what the file box shows
    std::string folder; // where the Open dialog starts next time
    bool hasFolder;     // false: the path has no backslash, and the remembered folder stays as it was
};

// Splits a path from the Open dialog at its last backslash. A file in the root of a drive gives the bare drive
// specifier ("C:") as its folder.
ChosenPath splitChosenPath(std::string_view path);

// The folder the Open dialog starts in, from the profile value and the number of characters the profile read
// returned (the default "C:\" when the key is missing). An empty value and any value as long as the default get a
// "." appended, the first giving the current folder and the second the folder itself.
std::string startFolderFromProfile(std::string_view value);

// Copies `text` into a buffer of `size` bytes, cut to fit with its terminating zero.
void copyCut(char* buffer, std::size_t size, std::string_view text);

struct IconOrigin {
    int x;
    int y;
};

// Where the minimized dialog draws its icon: centred, with the division truncating toward zero.
IconOrigin minimizedIconOrigin(int clientWidth, int clientHeight, int iconWidth, int iconHeight);

} // namespace zerkon::ui
