#!/bin/sh
# Runs a Windows program under Wine for ctest, quietly, in the prefix that scripts/wine-prefix.sh prepares: build/wine,
# or WINEPREFIX when it is set.
export WINEDEBUG=-all
export WINEPREFIX="${WINEPREFIX:-$(cd "$(dirname "$0")/.." && pwd)/build/wine}"
exec wine "$@"
