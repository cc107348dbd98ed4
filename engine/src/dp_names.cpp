#include <zerkon/dp_names.hpp>

#include <zerkon/dp_format.hpp>
#include <zerkon/file_system.hpp>

namespace zerkon {
namespace {

constexpr std::string_view kDpEnding = ".dp";

// Whether two names name one file.
bool sameName(std::string_view a, std::string_view b) { return kNamesIgnoreCase ? equalsNoCase(a, b) : a == b; }

} // namespace

bool isDpName(std::string_view path) {
    const std::string name = nameOf(std::string(path));
    return name.size() >= kDpEnding.size() &&
           equalsNoCase(std::string_view(name).substr(name.size() - kDpEnding.size()), kDpEnding);
}

bool longEnoughForDpNames(std::string_view dpPath) { return dpPath.size() >= kDpEnding.size(); }

std::string dpStem(std::string_view dpPath) {
    if (isDpName(dpPath)) dpPath.remove_suffix(kDpEnding.size());
    return std::string(dpPath);
}

std::string backupName(std::string_view dpPath, unsigned number) {
    std::string digits = std::to_string(number);
    if (digits.size() < 3) digits.insert(0, 3 - digits.size(), '0');
    return dpStem(dpPath) + "_" + digits + ".dp";
}

std::optional<unsigned> backupNumber(std::string_view dpPath, std::string_view name) {
    const std::string stem = nameOf(dpStem(dpPath));
    if (name.size() <= stem.size() + 1 + kDpEnding.size()) return std::nullopt;
    if (!sameName(name.substr(0, stem.size()), stem) || name[stem.size()] != '_') return std::nullopt;
    unsigned number = 0;
    for (const char c : name.substr(stem.size() + 1, name.size() - stem.size() - 1 - kDpEnding.size())) {
        if (c < '0' || c > '9' || number > (~0u - 9) / 10) return std::nullopt;
        number = number * 10 + static_cast<unsigned>(c - '0');
    }
    if (number == 0 || !sameName(nameOf(backupName(dpPath, number)), name)) return std::nullopt;
    return number;
}

std::string compiledName(std::string_view dpPath) { return dpStem(dpPath) + ".cdp"; }

} // namespace zerkon
