#include "unified_diff.hpp"

#include <zerkon/outcome.hpp>

#include <ostream>
#include <string_view>
#include <vector>

namespace zerkon::cli {
namespace {

// A run of neighbouring changes: `removed` lines of the old file from `oldLine` on are replaced by `added`.
struct Hunk {
    std::size_t oldLine = 0;
    std::vector<std::string_view> removed;
    std::vector<std::string_view> added;
};

std::vector<std::string_view> splitLines(std::string_view text) {
    std::vector<std::string_view> lines;
    while (!text.empty()) {
        const std::size_t newline = text.find('\n');
        const std::size_t length = newline == std::string_view::npos ? text.size() : newline + 1;
        lines.push_back(text.substr(0, length));
        text.remove_prefix(length);
    }
    return lines;
}

// A line kept with text added before it (the run comment above "[GUNSTATIONS]") is shown as an insertion.
std::vector<Hunk> hunksOf(const std::vector<LineRewrite>& rewrites) {
    std::vector<Hunk> hunks;
    for (const LineRewrite& rewrite : rewrites) {
        std::vector<std::string_view> added = splitLines(rewrite.after);
        const bool inserted = added.size() > 1 && added.back() == rewrite.before;
        if (inserted) added.pop_back();
        if (hunks.empty() || rewrite.lineNumber != hunks.back().oldLine + hunks.back().removed.size())
            hunks.push_back({rewrite.lineNumber, {}, {}});
        Hunk& hunk = hunks.back();
        if (!inserted) hunk.removed.push_back(rewrite.before);
        hunk.added.insert(hunk.added.end(), added.begin(), added.end());
    }
    return hunks;
}

void writeLine(std::ostream& out, char sign, std::string_view line) {
    const bool hasNewline = !line.empty() && line.back() == '\n';
    if (hasNewline) line.remove_suffix(1);
    out << sign << line << '\n';
    if (!hasNewline) out << "\\ No newline at end of file\n";
}

// Unified diff ranges: "start,count", with ",1" left out and an empty range naming the line before it.
std::string range(std::size_t start, std::size_t count) {
    if (count == 1) return std::to_string(start);
    return std::to_string(count == 0 ? start - 1 : start) + "," + std::to_string(count);
}

} // namespace

void writeUnifiedDiff(std::ostream& out, const std::string& path, const Preview& preview) {
    if (preview.rewrites.empty()) return;
    out << "--- " << printable(path) << '\n' << "+++ " << printable(path) << " (harmonized)\n";
    long long shift = 0; // new line number minus old line number, before the current hunk
    for (const Hunk& hunk : hunksOf(preview.rewrites)) {
        const std::size_t newStart = static_cast<std::size_t>(static_cast<long long>(hunk.oldLine) + shift);
        out << "@@ -" << range(hunk.oldLine, hunk.removed.size()) << " +" << range(newStart, hunk.added.size())
            << " @@\n";
        for (std::string_view line : hunk.removed)
            writeLine(out, '-', line);
        for (std::string_view line : hunk.added)
            writeLine(out, '+', line);
        shift += static_cast<long long>(hunk.added.size()) - static_cast<long long>(hunk.removed.size());
    }
}

} // namespace zerkon::cli
