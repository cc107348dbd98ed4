#!/bin/sh
# Makes sure the Debian packages the build and the tests need are installed. As root it installs what is missing;
# otherwise it prints the apt-get line to run and fails. `setup.sh dist` also checks what the release packages need.
# The 32-bit Windows programs run under Wine's 32-bit half, wine32 from Debian's i386 architecture.
set -eu

packages="cmake make g++ googletest libbenchmark-dev nlohmann-json3-dev
  clang libclang-rt-14-dev
  g++-mingw-w64-x86-64-posix g++-mingw-w64-i686-posix binutils-mingw-w64-x86-64 binutils-mingw-w64-i686
  wine wine64 wine32:i386 fonts-wine xvfb xauth xdotool imagemagick librsvg2-bin"
if [ "${1:-}" = dist ]; then
    packages="$packages zip unzip dpkg-dev lintian"
fi

missing=""
for p in $packages; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "ok installed" || missing="$missing $p"
done
[ -z "$missing" ] && exit 0

# wine32:i386 is found only once dpkg knows the i386 architecture.
add_i386=""
case "$missing" in *:i386*) dpkg --print-foreign-architectures | grep -qx i386 || add_i386=yes ;; esac

if [ "$(id -u)" -eq 0 ]; then
    echo "setup: installing$missing"
    export DEBIAN_FRONTEND=noninteractive
    [ -n "$add_i386" ] && dpkg --add-architecture i386
    apt-get update -qq
    # With their recommended packages, as on the machines the tests were proven on (Wine needs several).
    apt-get install -y -qq $missing
else
    echo "setup: these Debian packages are missing. Install them with:" >&2
    [ -n "$add_i386" ] && echo "  sudo dpkg --add-architecture i386 && sudo apt-get update" >&2
    echo "  sudo apt-get install$missing" >&2
    exit 1
fi
