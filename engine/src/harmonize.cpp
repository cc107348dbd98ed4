#include <zerkon/harmonize.h>

#include <zerkon/pass.hpp>

int HarmonizeDpFile(const char* path, const char* rangeText, const char* elevationText) {
    if (!path || !rangeText || !elevationText) return 1;
    try {
        return zerkon::harmonizeFile(path, rangeText, elevationText).ok() ? 0 : 1;
    } catch (...) { // out of memory: a C caller cannot take an exception
        return 1;
    }
}
