#include "DialogRules.h"

#include <algorithm>
#include <cstring>

namespace zerkon::ui {

namespace {
constexpr std::string_view defaultStartFolder = "C:\\";
}

ChosenPath splitChosenPath(std::string_view path) {
    const std::size_t slash = path.rfind('\\');
    if (slash == std::string_view::npos) return {std::string(path), std::string(), false};
    return {std::string(path.substr(slash + 1)), std::string(path.substr(0, slash)), true};
}

std::string startFolderFromProfile(std::string_view value) {
    std::string folder(value);
    if (folder.empty() || folder.size() == defaultStartFolder.size()) folder += '.';
    return folder;
}

void copyCut(char* buffer, std::size_t size, std::string_view text) {
    if (size == 0) return;
    const std::size_t length = std::min(text.size(), size - 1);
    std::memcpy(buffer, text.data(), length);
    buffer[length] = '\0';
}

IconOrigin minimizedIconOrigin(int clientWidth, int clientHeight, int iconWidth, int iconHeight) {
    return {(clientWidth - iconWidth + 1) / 2, (clientHeight - iconHeight + 1) / 2};
}

} // namespace zerkon::ui
