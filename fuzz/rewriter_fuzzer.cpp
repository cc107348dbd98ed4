// The line rewriting under random settings and random lines. Beyond "no crash", it checks what the rewriting
// promises: only the number fields of gun station and gun lines may change, no "inf" or "nan" appears that the line
// did not hold, and lines are only ever dropped (old run comments) or added (run comments).
#include "dp_generator.hpp"
#include "fuzz_check.hpp"
#include "fuzz_input.hpp"

#include <zerkon/dp_rewriter.hpp>

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace {

using zerkon::startsWithNoCase;
using zerkon::fuzz::require;

std::vector<std::string_view> fieldsOf(std::string_view line) {
    std::vector<std::string_view> fields;
    for (;;) {
        const std::size_t comma = line.find(',');
        fields.push_back(line.substr(0, comma));
        if (comma == std::string_view::npos) return fields;
        line.remove_prefix(comma + 1);
    }
}

// A rewritten record keeps its fields, and every field outside [first, last] byte for byte.
void requireOnlyNumbersChanged(std::string_view line, std::string_view out, std::size_t first, std::size_t last) {
    const auto in = fieldsOf(line);
    const auto rewritten = fieldsOf(out);
    require(in.size() == rewritten.size(), "a rewritten record keeps its number of fields", line, out);
    for (std::size_t k = 0; k < in.size(); ++k)
        if (k < first || k > last) require(in[k] == rewritten[k], "fields that hold no aim are copied", line, out);
}

void checkLine(std::string_view line, std::string_view out, const std::string& runComment) {
    require(!zerkon::fuzz::holdsNonFiniteText(out) || zerkon::fuzz::holdsNonFiniteText(line),
            "no inf or nan that the line did not hold", line, out);
    if (startsWithNoCase(line, zerkon::kGunStationPrefix)) {
        if (out != line) requireOnlyNumbersChanged(line, out, 11, 16);
    } else if (startsWithNoCase(line, zerkon::kGunPrefix)) {
        if (out != line) requireOnlyNumbersChanged(line, out, 1, 5);
    } else if (startsWithNoCase(line, zerkon::kGunStationsHeader)) {
        require(out == runComment + std::string(line), "the run comment goes above the gun stations", line, out);
    } else if (startsWithNoCase(line, zerkon::kRunCommentPrefix)) {
        require(out.empty(), "an earlier run comment is dropped", line, out);
    } else {
        require(out == line, "other lines are copied byte for byte", line, out);
    }
    const bool lineEnds = !line.empty() && line.back() == '\n';
    const bool outEnds = !out.empty() && out.back() == '\n';
    if (!out.empty() && !startsWithNoCase(line, zerkon::kGunStationsHeader))
        require(lineEnds == outEnds, "a line keeps its newline, or its lack of one", line, out);
}

// What the rewriter says it did must be what it did: the report and the dry run show nothing else.
void checkOutcome(const zerkon::LineOutcome& outcome, std::string_view line, std::string_view out,
                  std::size_t& stationLines) {
    switch (outcome.action) {
    case zerkon::LineAction::copied:
        require(out.empty(), "a line said to be copied as it is needs nothing appended", line, out);
        break;
    case zerkon::LineAction::dropped:
        require(out.empty(), "a line said to be dropped is dropped", line, out);
        break;
    case zerkon::LineAction::commentInserted:
        require(startsWithNoCase(line, zerkon::kGunStationsHeader), "comments go above the gun stations", line, out);
        break;
    case zerkon::LineAction::stationJudged:
        require(startsWithNoCase(line, zerkon::kGunStationPrefix), "only gun station lines are judged", line, out);
        require(outcome.stationLine == stationLines++, "gun station lines are counted in order", line, out);
        break;
    case zerkon::LineAction::gunLineRewritten:
        require(startsWithNoCase(line, zerkon::kGunPrefix) && outcome.stationLine < stationLines,
                "a rewritten gun line belongs to a gun station line read before it", line, out);
        break;
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const zerkon::fuzz::FuzzInput input = zerkon::fuzz::splitInput(data, size);
    const zerkon::AimSettings settings = zerkon::fuzz::settingsOf(input);
    const std::string comment = zerkon::runComment(settings, zerkon::testing::fixedClock());
    zerkon::DpRewriter rewriter(settings, comment);
    std::string out;
    std::size_t stationLines = 0;
    for (const std::string& line : zerkon::testing::linesAsRead(input.content)) {
        out.clear();
        const zerkon::LineOutcome outcome = rewriter.rewriteLine(line, out);
        checkLine(line, outcome.action == zerkon::LineAction::copied ? line : out, comment);
        checkOutcome(outcome, line, out, stationLines);
    }
    return 0;
}
