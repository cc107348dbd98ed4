#include "text_table.hpp"

#include <algorithm>
#include <ostream>

namespace zerkon::cli {
namespace {

// Names are UTF-8: a column is as wide as its characters, not its bytes, so "Яков_001.dp" lines up with "k_001.dp".
std::size_t displayWidth(const std::string& text) {
    return static_cast<std::size_t>(
        std::count_if(text.begin(), text.end(), [](char c) { return (static_cast<unsigned char>(c) & 0xC0) != 0x80; }));
}

} // namespace

void TextTable::write(std::ostream& out, const std::string& indent) const {
    std::vector<std::size_t> widths(columns_.size(), 0);
    for (const auto& row : rows_)
        for (std::size_t i = 0; i < row.size() && i < widths.size(); ++i)
            widths[i] = std::max(widths[i], displayWidth(row[i]));
    for (const auto& row : rows_) {
        std::string line = indent;
        for (std::size_t i = 0; i < widths.size(); ++i) {
            const std::string cell = i < row.size() ? row[i] : std::string();
            const std::string padding(widths[i] - displayWidth(cell), ' ');
            if (i > 0) line += "  ";
            line += columns_[i] == Align::right ? padding + cell : cell + padding;
        }
        while (!line.empty() && line.back() == ' ')
            line.pop_back();
        out << line << '\n';
    }
}

} // namespace zerkon::cli
