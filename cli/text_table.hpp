// A plain text table whose columns are as wide as their widest cell.
#pragma once

#include <iosfwd>
#include <string>
#include <vector>

namespace zerkon::cli {

class TextTable {
public:
    enum class Align { left, right };

    explicit TextTable(std::vector<Align> columns) : columns_(std::move(columns)) {}

    void addRow(std::vector<std::string> cells) { rows_.push_back(std::move(cells)); }
    void write(std::ostream& out, const std::string& indent = "") const; // columns two spaces apart

private:
    std::vector<Align> columns_;
    std::vector<std::vector<std::string>> rows_;
};

} // namespace zerkon::cli
