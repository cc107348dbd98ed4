#!/bin/sh
# Runs a Windows test program under Wine for ctest, quietly, in the prefix that scripts/wine-prefix.sh prepared.
export WINEDEBUG=-all
exec wine "$@"
