#include <zerkon/outcome.hpp>

namespace zerkon {

std::string printable(std::string_view text) {
    std::string shown;
    shown.reserve(text.size());
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte >= 0x20 && byte != 0x7F) {
            shown += c;
        } else if (c == '\n' || c == '\r' || c == '\t') {
            shown += {'\\', c == '\n' ? 'n' : c == '\r' ? 'r' : 't'};
        } else {
            constexpr char kHex[] = "0123456789abcdef";
            shown += {'\\', 'x', kHex[byte >> 4], kHex[byte & 15]};
        }
    }
    return shown;
}

std::string quoted(std::string_view text) { return "\"" + printable(text) + "\""; }

} // namespace zerkon
