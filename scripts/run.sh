#!/bin/sh
# The main job of `make run`: harmonize a fresh copy of the sample aircraft with the command line and show the
# result.
set -eu
cd "$(dirname "$0")/.."
work=build/native/run
rm -rf "$work"
mkdir -p "$work"
cp examples/kestrel.dp "$work/kestrel.dp"
echo "stale compiled copy" > "$work/kestrel.cdp"

cli=build/native/cli/zerkon-cli
echo "\$ zerkon-cli report --range 900 --elevation 1 $work/kestrel.dp"
"$cli" report --range 900 --elevation 1 "$work/kestrel.dp"
echo
echo "\$ zerkon-cli harmonize --range 900 --elevation 1 $work/kestrel.dp"
"$cli" harmonize --range 900 --elevation 1 "$work/kestrel.dp"
echo
echo "Files in $work:"
ls -l "$work"
echo
echo "Lines changed (backup on the left, new file on the right):"
diff "$work/kestrel_001.dp" "$work/kestrel.dp" | tr -d '\r' || true
