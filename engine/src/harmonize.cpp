#include <zerkon/harmonize.h>

#include <zerkon/pass.hpp>

int HarmonizeDpFile(const char* path, const char* rangeText, const char* elevationText) {
    if (!path || !rangeText || !elevationText) return 1;
    try {
        const zerkon::SettingsReading reading = zerkon::readRunSettings(rangeText, elevationText);
        return reading.ok() && zerkon::harmonizeFile(path, reading.settings).ok() ? 0 : 1;
    } catch (...) { // out of memory: a C caller cannot take an exception
        return 1;
    }
}
