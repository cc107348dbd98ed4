#include "text_table.hpp"

#include <algorithm>
#include <ostream>

namespace zerkon::cli {

void TextTable::write(std::ostream& out, const std::string& indent) const {
    std::vector<std::size_t> widths(columns_.size(), 0);
    for (const auto& row : rows_)
        for (std::size_t i = 0; i < row.size() && i < widths.size(); ++i)
            widths[i] = std::max(widths[i], row[i].size());
    for (const auto& row : rows_) {
        std::string line = indent;
        for (std::size_t i = 0; i < widths.size(); ++i) {
            const std::string cell = i < row.size() ? row[i] : std::string();
            const std::string padding(widths[i] - cell.size(), ' ');
            if (i > 0) line += "  ";
            line += columns_[i] == Align::right ? padding + cell : cell + padding;
        }
        while (!line.empty() && line.back() == ' ')
            line.pop_back();
        out << line << '\n';
    }
}

} // namespace zerkon::cli
