#!/bin/sh
# Opens the Zerkon dialog under Wine. With a working X display the dialog opens there for the user. Without one it
# runs inside Xvfb, on Wine's virtual desktop (which draws the caption and frame a bare X server lacks); its picture
# is saved in the build folder, the dialog is closed and the script says where the picture is.
#
#   scripts/run-dialog.sh [PROGRAM.EXE] [PICTURE.png]
set -eu
cd "$(dirname "$0")/.."

program="${1:-build/windows-x64/ui/ZERKON.EXE}"
picture="${2:-$(dirname "$(dirname "$program")")/zerkon-dialog.png}"
export WINEDEBUG=-all

if [ ! -f "$program" ]; then
    echo "run-dialog: $program is missing; build it first: cmake --build --preset windows-x64" >&2
    exit 1
fi

scripts/wine-prefix.sh

if [ "${ZERKON_IN_XVFB:-}" = 1 ]; then
    # Inside Xvfb: the whole screen is the Wine desktop.
    # Wine's own messages go to a log: they would bury the script's one line.
    wine explorer /desktop=Zerkon,640x480 "$program" 2>"$picture.wine.log" &
    wine_pid=$!
    desktop=""
    for _ in $(seq 1 120); do
        desktop=$(xdotool search --name '^Zerkon - Wine desktop$' 2>/dev/null | head -n 1) || true
        [ -n "$desktop" ] && break
        sleep 0.5
    done
    if [ -z "$desktop" ]; then
        echo "run-dialog: the Wine desktop did not appear" >&2
        kill "$wine_pid" 2>/dev/null || true
        exit 1
    fi
    # The desktop shows before the dialog is drawn on it.
    sleep 4
    import -window root "$picture.full.png"
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
    # Keep the dialog with a margin of the desktop around it.
    convert "$picture.full.png" -trim -bordercolor "$(convert "$picture.full.png" -format '%[pixel:p{639,479}]' info:)" \
        -border 12 +repage "$picture"
    rm -f "$picture.full.png"
    exit 0
fi

if [ -n "${DISPLAY:-}" ] && xdotool getdisplaygeometry >/dev/null 2>&1; then
    exec wine "$program"
fi

ZERKON_IN_XVFB=1 xvfb-run -a -s "-screen 0 640x480x24" "$0" "$program" "$picture"
echo "run-dialog: there is no X display, so the dialog ran under Xvfb (Wine prefix ${WINEPREFIX:-$HOME/.wine});"
echo "its picture is $picture"
