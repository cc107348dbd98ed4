#!/bin/sh
# Prepares the Wine prefix of the Windows tests and of `make run`: build/wine, or WINEPREFIX when it is set. It is made
# once, so the first Windows test does not pay for (or race on) its creation, and it must start a 64-bit and a 32-bit
# program: a prefix made before wine32 was installed fails every 32-bit program with "could not load kernel32.dll".
# Such a prefix is updated and, if it still fails, made afresh (only build/wine: a prefix the user named is theirs).
set -eu
cd "$(dirname "$0")/.."
export WINEDEBUG=-all
default_prefix="$PWD/build/wine"
export WINEPREFIX="${WINEPREFIX:-$default_prefix}"
log=$(mktemp)
trap 'rm -f "$log"' EXIT

# True when Wine's own cmd.exe runs in both kinds, the 64-bit one of system32 and the 32-bit one of syswow64.
starts_both() {
    : >"$log"
    for cmd in 'C:\windows\system32\cmd.exe' 'C:\windows\syswow64\cmd.exe'; do
        words=$(wine "$cmd" /c echo zerkon-prefix-works 2>&1) || true
        printf '$ wine %s\n%s\n' "$cmd" "$words" >>"$log"
        printf '%s\n' "$words" | tr -d '\r' | grep -qx zerkon-prefix-works || return 1
    done
}

make_prefix() {
    mkdir -p "$(dirname "$WINEPREFIX")"
    wineboot --init >/dev/null 2>&1 || true
    wineserver -w || true
}

if [ ! -f "$WINEPREFIX/system.reg" ]; then
    echo "wine: preparing the prefix $WINEPREFIX"
    make_prefix
fi
if ! starts_both; then
    echo "wine: the prefix $WINEPREFIX cannot start both 32-bit and 64-bit programs; updating it"
    wineboot --update >/dev/null 2>&1 || true
    wineserver -w || true
    if ! starts_both && [ "$WINEPREFIX" = "$default_prefix" ]; then
        echo "wine: making the prefix $WINEPREFIX afresh"
        wineserver -k 2>/dev/null || true
        rm -rf "$WINEPREFIX"
        make_prefix
    fi
    if ! starts_both; then
        cat "$log" >&2
        echo "wine: the prefix $WINEPREFIX still cannot start both 32-bit and 64-bit programs (Wine's words above)." >&2
        if ! dpkg-query -W -f='${Status}' wine32:i386 2>/dev/null | grep -q "ok installed"; then
            echo "wine32:i386 is not installed: run scripts/setup.sh as root." >&2
        elif [ "$WINEPREFIX" != "$default_prefix" ]; then
            echo "Move it aside, or unset WINEPREFIX to use $default_prefix." >&2
        fi
        exit 1
    fi
fi

# Debian's Wine does not find the fonts it ships (Marlett draws the caption buttons, MS Sans Serif the dialogs'
# text), so the close box shows an "r" and labels are cut. Fonts in the prefix's own Fonts folder are always found.
fonts="$WINEPREFIX/drive_c/windows/Fonts"
if [ -d /usr/share/wine/fonts ] && [ -d "$fonts" ] && [ ! -f "$fonts/marlett.ttf" ]; then
    cp /usr/share/wine/fonts/*.ttf /usr/share/wine/fonts/*.fon "$fonts/" 2>/dev/null || true
fi
