#!/bin/sh
# A pass gives the same bytes natively and in a Windows build: every golden input and 300 generated files are
# harmonized by both, each program started once for the whole folder, and the two folders must be equal.
#   same-bytes-under-wine.sh WINE-RUN NATIVE-HARMONIZE-FOLDER WINDOWS-HARMONIZE-FOLDER.EXE GOLDEN-FOLDER WORK-FOLDER
set -eu
wine_run="$1" native="$2" windows="$3" golden="$4" work="$5"
if [ ! -x "$native" ]; then
    echo "$native is missing: build the native preset first (make test does)" >&2
    exit 1
fi
rm -rf "$work"
mkdir -p "$work/native"
"$native" generate "$work/native" 300
for input in "$golden"/*.dp; do
    case $input in *.expected.dp) ;; *) cp "$input" "$work/native/" ;; esac
done
cp -R "$work/native" "$work/windows"

"$native" "$work/native" >"$work/native.txt"
(cd "$work/windows" && "$wine_run" "$windows" .) >"$work/windows-crlf.txt"
tr -d '\r' <"$work/windows-crlf.txt" >"$work/windows.txt"
diff "$work/native.txt" "$work/windows.txt"
diff -r -q "$work/native" "$work/windows"
echo "$(ls "$work/native" | wc -l) files, the same bytes natively and under Wine"
