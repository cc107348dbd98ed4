#!/bin/sh
# zerkon-cli.exe started from cmd.exe as a Windows user starts it: cmd hands "*.dp" over unexpanded, and one of the
# names is outside every ANSI code page. Then a path written with "/", as every Unix path is, and "/?".
#   wildcards-under-wine.sh WINE-RUN ZERKON-CLI.EXE SAMPLE.dp WORK-FOLDER
set -eu
wine_run="$1" program="$2" sample="$3" work="$4"
rm -rf "$work"
mkdir -p "$work"
cd "$work"
cp "$sample" plain.dp
cp "$sample" "Ünïcode Яков.dp"
cp "$sample" notes.txt
"$wine_run" cmd /c "$program" harmonize '*.dp' | tr -d '\r' > output.txt
cat output.txt
grep -qx 'Ünïcode Яков.dp: 5 gun stations aimed, 5 gun lines rewritten, backup Ünïcode Яков_001.dp' output.txt
grep -qx '2 DP files: 2 harmonized, 0 failed, 10 gun stations aimed' output.txt
test -f plain_001.dp
test -f "Ünïcode Яков_001.dp"
test ! -e notes_001.txt
"$wine_run" "$program" harmonize --dry-run "$work/plain.dp" | grep -q '^/.*/plain.dp: dry run, nothing written: 5 gun stations'
"$wine_run" "$program" '/?' | grep -q '^Usage: zerkon-cli COMMAND'
