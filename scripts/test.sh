#!/bin/sh
# `make test`: builds the four presets quietly, then runs every suite: natively, with the sanitizers, and both Windows
# architectures under Wine inside a virtual X display. Each preset tells its result in a few lines: the output of
# every test that failed, then ctest's closing summary with each suite's count and time. VERBOSE=1 shows the builds
# and ctest's whole output. All presets run even when one fails; the status says whether any did.
set -eu
cd "$(dirname "$0")/.."
for preset in native native-asan windows-x64 windows-x86; do
    scripts/build-quietly.sh "$preset"
done

run_tests() { # PRESET [COMMAND THAT RUNS CTEST...]
    preset="$1"
    shift
    echo "== $preset"
    if [ -n "${VERBOSE:-}" ]; then
        "$@" ctest --preset "$preset"
        return
    fi
    log="build/$preset-tests.log"
    result=0
    "$@" ctest --preset "$preset" >"$log" 2>&1 || result=$?
    # ctest prints a test's output after the test's own line; the lines that start tests are left out, and so is the
    # closing summary, printed once below.
    awk '/% tests passed/ { exit } /^ *[0-9]+\/[0-9]+ Test +#/ { show = $0 !~ / Passed / } show && !/^ +Start +[0-9]+: /' "$log"
    sed -n '/% tests passed/,$p' "$log"
    [ "$result" -eq 0 ] || echo "== $preset: the whole output is in $log"
    return "$result"
}

status=0
run_tests native || status=1
run_tests native-asan || status=1
scripts/wine-prefix.sh
for preset in windows-x64 windows-x86; do
    run_tests "$preset" xvfb-run -a -s "-screen 0 1024x768x24" || status=1
done
exit "$status"
