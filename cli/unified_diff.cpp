#include "unified_diff.hpp"

#include <zerkon/outcome.hpp>

#include <ostream>
#include <string_view>
#include <vector>

namespace zerkon::cli {
namespace {

// One change: `removed` lines of the old file from `oldLine` on are replaced by `added`.
struct Edit {
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
Edit editOf(const LineRewrite& rewrite) {
    Edit edit;
    edit.oldLine = rewrite.lineNumber;
    edit.added = splitLines(rewrite.after);
    if (edit.added.size() > 1 && edit.added.back() == rewrite.before) {
        edit.added.pop_back();
        return edit;
    }
    edit.removed.push_back(rewrite.before);
    return edit;
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
    std::vector<Edit> edits;
    for (const LineRewrite& rewrite : preview.rewrites)
        edits.push_back(editOf(rewrite));

    long long shift = 0; // new line number minus old line number, before the current hunk
    for (std::size_t first = 0; first < edits.size();) {
        std::size_t last = first;
        std::size_t oldCount = edits[first].removed.size();
        std::size_t newCount = edits[first].added.size();
        while (last + 1 < edits.size() && edits[last + 1].oldLine == edits[last].oldLine + edits[last].removed.size()) {
            ++last;
            oldCount += edits[last].removed.size();
            newCount += edits[last].added.size();
        }
        const std::size_t oldStart = edits[first].oldLine;
        const std::size_t newStart = static_cast<std::size_t>(static_cast<long long>(oldStart) + shift);
        out << "@@ -" << range(oldStart, oldCount) << " +" << range(newStart, newCount) << " @@\n";
        for (std::size_t i = first; i <= last; ++i)
            for (std::string_view line : edits[i].removed)
                writeLine(out, '-', line);
        for (std::size_t i = first; i <= last; ++i)
            for (std::string_view line : edits[i].added)
                writeLine(out, '+', line);
        shift += static_cast<long long>(newCount) - static_cast<long long>(oldCount);
        first = last + 1;
    }
}

} // namespace zerkon::cli
