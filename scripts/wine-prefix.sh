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

# Debian's Wine does not find the fonts it ships (Marlett draws the caption buttons, MS Sans Serif the dialogs'
# text), so the close box shows an "r" and labels are cut. Fonts in the prefix's own Fonts folder are always found.
fonts="$prefix/drive_c/windows/Fonts"
if [ -d /usr/share/wine/fonts ] && [ -d "$fonts" ] && [ ! -f "$fonts/marlett.ttf" ]; then
    cp /usr/share/wine/fonts/*.ttf /usr/share/wine/fonts/*.fon "$fonts/" 2>/dev/null || true
fi
