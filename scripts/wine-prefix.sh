#!/bin/sh
# Prepares the Wine prefix once, so the first Windows test does not pay for (or race on) its creation.
set -eu
export WINEDEBUG=-all
prefix="${WINEPREFIX:-$HOME/.wine}"
if [ ! -f "$prefix/system.reg" ]; then
    echo "wine: preparing the prefix $prefix"
    wineboot --init >/dev/null 2>&1 || true
    wineserver -w || true
fi
