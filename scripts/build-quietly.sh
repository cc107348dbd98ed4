#!/bin/sh
# Configures a preset and builds the given targets (all without one), showing nothing unless the build fails; then the
# end of its log is shown, and where the whole log is. VERBOSE=1 shows the whole build as it goes.
#   scripts/build-quietly.sh PRESET [TARGET...]
set -eu
cd "$(dirname "$0")/.."
preset="$1"
shift
build() {
    cmake --preset "$preset" && cmake --build --preset "$preset" ${1+--target "$@"}
}
if [ -n "${VERBOSE:-}" ]; then
    build "$@"
    exit
fi
log="build/$preset-build.log"
mkdir -p build
if ! build "$@" >"$log" 2>&1; then
    tail -n 30 "$log" >&2
    echo "build: building ${*:-everything} ($preset) failed; the whole log is $log" >&2
    exit 1
fi
