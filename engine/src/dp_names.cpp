#include <zerkon/dp_names.hpp>

#include <string>

namespace zerkon {

std::string backupName(const std::string& dpPath, unsigned number) {
    std::string digits = std::to_string(number);
    if (digits.size() < 3) digits.insert(0, 3 - digits.size(), '0');
    return dpPath.substr(0, dpPath.size() - 3) + "_" + digits + ".dp";
}

std::string compiledName(const std::string& dpPath) {
    return dpPath.substr(0, dpPath.size() - 2) + "cdp";
}

} // namespace zerkon
