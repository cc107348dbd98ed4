// The engine's plain entry, callable from C and from the Windows front end.
#ifndef ZERKON_HARMONIZE_H
#define ZERKON_HARMONIZE_H

#ifdef __cplusplus
extern "C" {
#endif

// Aims every eligible gun of the DP file at `path` so that its fire converges at the range and elevation given as
// text in feet (read like C's "%f": "900 ft" is 900). Keeps the previous file as a numbered backup and deletes the
// compiled copy. Returns 0 when done and 1 when the pass failed, in which case the DP file is left as it was.
int HarmonizeDpFile(const char* path, const char* rangeText, const char* elevationText);

#ifdef __cplusplus
}
#endif

#endif
