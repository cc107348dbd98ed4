#include <zerkon/dp_rewriter.hpp>

#include <zerkon/number_text.hpp>

#include <cstdio>

namespace zerkon {
namespace {

constexpr std::string_view kGunStationPrefix = "gunstation.";
constexpr std::string_view kGunSectionPrefix = "[guns.";
constexpr std::string_view kGunPrefix = "gun.";
constexpr std::string_view kGunStationsHeader = "[GUNSTATIONS]";
constexpr std::string_view kRunCommentPrefix = "; Guns harmonized";

// DpRewriter::isPlainLine lets every line through that begins with anything else.
constexpr bool beginsWithGBracketOrSemicolon(std::string_view prefix) {
    return prefix.front() == 'g' || prefix.front() == '[' || prefix.front() == ';';
}
static_assert(beginsWithGBracketOrSemicolon(kGunStationPrefix) && beginsWithGBracketOrSemicolon(kGunSectionPrefix) &&
              beginsWithGBracketOrSemicolon(kGunPrefix) && beginsWithGBracketOrSemicolon(kGunStationsHeader) &&
              beginsWithGBracketOrSemicolon(kRunCommentPrefix));

char asciiLower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

bool startsWithNoCase(std::string_view line, std::string_view prefix) {
    if (line.size() < prefix.size()) return false;
    for (std::size_t i = 0; i < prefix.size(); ++i)
        if (asciiLower(line[i]) != asciiLower(prefix[i])) return false;
    return true;
}

} // namespace

std::string ctimeText(const std::tm& time) {
    static constexpr const char* kWeekdays[] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
    static constexpr const char* kMonths[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                              "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
    const auto pick = [](const char* const* names, int index, int count) {
        return index >= 0 && index < count ? names[index] : "???";
    };
    char text[64];
    std::snprintf(text, sizeof text, "%.3s %.3s%3d %.2d:%.2d:%.2d %d", pick(kWeekdays, time.tm_wday, 7),
                  pick(kMonths, time.tm_mon, 12), time.tm_mday, time.tm_hour, time.tm_min, time.tm_sec,
                  1900 + time.tm_year);
    return text;
}

std::string runComment(const AimSettings& settings, const std::tm& localTime) {
    std::string line = "; Guns harmonized by Zerkon - Range: ";
    appendFixed(line, settings.rangeFeet, 1);
    line += " ft.  Elevation: ";
    appendFixed(line, settings.elevationFeet, 1);
    line += " ft. - ";
    line += ctimeText(localTime);
    line += '\n';
    return line;
}

DpRewriter::DpRewriter(const AimSettings& settings, std::string runComment)
    : settings_(settings), runComment_(std::move(runComment)) {}

bool DpRewriter::startsWithARulePrefix(std::string_view line) {
    // A "gun." line counts even where its station is not harmonized: that depends on the state, this must not.
    return startsWithNoCase(line, kGunStationPrefix) || startsWithNoCase(line, kGunSectionPrefix) ||
           startsWithNoCase(line, kGunPrefix) || startsWithNoCase(line, kGunStationsHeader) ||
           startsWithNoCase(line, kRunCommentPrefix);
}

bool DpRewriter::currentStationIsHarmonized() const {
    if (!state_.currentStation) return false;
    const Station* station = state_.stations.find(*state_.currentStation);
    return station && station->harmonize;
}

void DpRewriter::rewriteLine(std::string_view line, std::string& out) {
    // The first rule whose prefix matches wins: "gunstation." is tested before "gun.", and "[GUNSTATIONS]" never
    // matches "[guns." because its sixth character is a letter.
    if (startsWithNoCase(line, kGunStationPrefix)) {
        lastStationAim_ = rewriteGunStationLine(line, state_, settings_, out);
        if (lastStationAim_.verdict == StationVerdict::aimed) ++counts_.stationsAimed;
    } else if (startsWithNoCase(line, kGunSectionPrefix)) {
        state_.currentStation = leadingStationNumber(line.substr(kGunSectionPrefix.size()));
        out.append(line);
    } else if (startsWithNoCase(line, kGunPrefix) && currentStationIsHarmonized()) {
        if (rewriteGunLine(line, out)) ++counts_.gunLinesRewritten;
    } else if (startsWithNoCase(line, kGunStationsHeader)) {
        out.append(runComment_);
        ++counts_.headerCommentsWritten;
        out.append(line);
    } else if (startsWithNoCase(line, kRunCommentPrefix)) {
        ++counts_.oldCommentsDropped; // each run replaces the comment of the one before
    } else {
        out.append(line);
    }
}

} // namespace zerkon
