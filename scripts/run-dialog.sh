#!/bin/sh
# Opens the Zerkon dialog under Wine: by default the 32-bit one, which users download. With a working X display the
# dialog opens there for the user. Without one it runs inside Xvfb, on Wine's virtual desktop (which draws the caption
# and frame a bare X server lacks); its picture is saved, the dialog is closed and the script says where the picture
# is. When the dialog does not show, Wine's own words are printed and no picture is left.
#
#   scripts/run-dialog.sh [PROGRAM.EXE] [PICTURE.png]
set -eu
cd "$(dirname "$0")/.."

program="${1:-build/windows-x86/ui/ZERKON.EXE}"
picture="${2:-build/zerkon-dialog.png}"
wine_log="${picture%.png}.wine.log"
export WINEPREFIX="${WINEPREFIX:-$PWD/build/wine}"

if [ ! -f "$program" ]; then
    echo "run-dialog: $program is missing; build it first: cmake --build --preset windows-x86 --target zerkon" >&2
    exit 1
fi

if [ "${ZERKON_IN_XVFB:-}" = 1 ]; then
    # Stops the dialog and says why, with the end of what Wine said.
    # Explorer keeps quiet when it cannot start the program, so the program is then started once more on its own.
    fail() {
        kill "$wine_pid" 2>/dev/null || true
        timeout 20 wineserver -w || true
        rm -f "$picture.full.png"
        echo "\$ wine $program" >>"$wine_log"
        timeout 15 wine "$program" >>"$wine_log" 2>&1 || true
        timeout 20 wineserver -w || true
        echo "run-dialog: $1; Wine said (the whole log is $wine_log):" >&2
        tail -n 20 "$wine_log" >&2
        exit 1
    }
    # Inside Xvfb: the whole screen is the Wine desktop. Wine's messages go to a log, shown only when it fails; its
    # errors are kept, its notes about what it does not implement are not.
    WINEDEBUG="${WINEDEBUG:-fixme-all}" wine explorer /desktop=Zerkon,640x480 "$program" 2>"$wine_log" &
    wine_pid=$!
    desktop=""
    for _ in $(seq 1 120); do
        desktop=$(xdotool search --name '^Zerkon - Wine desktop$' 2>/dev/null | head -n 1) || true
        [ -n "$desktop" ] && break
        kill -0 "$wine_pid" 2>/dev/null || break
        sleep 0.5
    done
    [ -n "$desktop" ] || fail "the Wine desktop did not appear"
    # The desktop shows before the dialog is drawn on it.
    sleep 4
    kill -0 "$wine_pid" 2>/dev/null || fail "the dialog did not start"
    import -window root "$picture.full.png"
    # Keep the dialog with a margin of the desktop around it. A bare desktop trims to almost nothing.
    convert "$picture.full.png" -trim -bordercolor "$(convert "$picture.full.png" -format '%[pixel:p{639,479}]' info:)" \
        -border 12 +repage "$picture.full.png" 2>/dev/null
    [ "$(identify -format '%w' "$picture.full.png")" -gt 100 ] || fail "the desktop showed no dialog"
    # A click on "&Quit" ends the program, and the desktop with it. The dialog sits at the desktop's top left; keys
    # would not reach it, since Xvfb has no window manager to give the desktop the keyboard.
    xdotool mousemove --window "$desktop" 170 38 click 1 2>/dev/null || true
    for _ in $(seq 1 20); do
        kill -0 "$wine_pid" 2>/dev/null || break
        sleep 0.5
    done
    if kill -0 "$wine_pid" 2>/dev/null; then
        echo "run-dialog: the dialog did not close on its Quit button; stopping it" >&2
        kill "$wine_pid" 2>/dev/null || true
    fi
    # Wine's helper processes must be gone before Xvfb is, or they report the broken X connection.
    timeout 20 wineserver -w || true
    mv "$picture.full.png" "$picture"
    exit 0
fi

rm -f "$picture"
scripts/wine-prefix.sh
if [ -n "${DISPLAY:-}" ] && xdotool getdisplaygeometry >/dev/null 2>&1; then
    exec wine "$program"
fi

ZERKON_IN_XVFB=1 xvfb-run -a -s "-screen 0 640x480x24" "$0" "$program" "$picture"
echo "run-dialog: there is no X display, so the dialog ran under Xvfb (Wine prefix $WINEPREFIX);"
echo "its picture is $picture"
