#include "DialogRules.h"

#include <algorithm>
#include <cstring>

namespace zerkon::ui {

ChosenPath splitChosenPath(std::string_view path) {
    const std::size_t slash = path.rfind('\\');
    if (slash == std::string_view::npos) return {std::string(path), std::string(), false};
    return {std::string(path.substr(slash + 1)), std::string(path.substr(0, slash)), true};
}

void copyCut(char* buffer, std::size_t size, std::string_view text) {
    if (size == 0) return;
    const std::size_t length = std::min(text.size(), size - 1);
    std::memcpy(buffer, text.data(), length);
    buffer[length] = '\0';
}

} // namespace zerkon::ui
