// The main dialog's paths: plain steps on texts and buffers, free of the window system.
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
// ("C:") as its folder.
ChosenPath splitChosenPath(std::string_view path);

// Copies `text` into a buffer of `size` bytes, cut to fit with its terminating zero.
void copyCut(char* buffer, std::size_t size, std::string_view text);

} // namespace zerkon::ui
