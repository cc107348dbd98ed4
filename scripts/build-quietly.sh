#!/bin/sh
# Configures a preset and builds only the given targets, showing nothing unless the build fails; then the end of its
# log is shown, and where the whole log is.
#   scripts/build-quietly.sh PRESET TARGET...
set -eu
cd "$(dirname "$0")/.."
preset="$1"
shift
log="build/$preset-build.log"
mkdir -p build
if ! { cmake --preset "$preset" && cmake --build --preset "$preset" --target "$@"; } >"$log" 2>&1; then
    tail -n 30 "$log" >&2
    echo "build: building $* ($preset) failed; the whole log is $log" >&2
    exit 1
fi
