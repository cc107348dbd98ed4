#!/bin/sh
# Makes sure the Debian packages the build and the tests need are installed. As root it installs what is missing;
# otherwise it prints the apt-get line to run and fails. `setup.sh dist` also checks what the release packages need.
set -eu

packages="cmake make g++ googletest libbenchmark-dev libcli11-dev nlohmann-json3-dev
  clang libclang-rt-14-dev
  g++-mingw-w64-x86-64-posix g++-mingw-w64-i686-posix binutils-mingw-w64-x86-64 binutils-mingw-w64-i686
  wine wine64 fonts-wine xvfb xauth xdotool imagemagick librsvg2-bin"
if [ "${1:-}" = dist ]; then
    packages="$packages zip unzip dpkg-dev lintian"
fi

missing=""
for p in $packages; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "ok installed" || missing="$missing $p"
done
[ -z "$missing" ] && exit 0

if [ "$(id -u)" -eq 0 ]; then
    echo "setup: installing$missing"
    export DEBIAN_FRONTEND=noninteractive
    apt-get update -qq
    # With their recommended packages, as on the machines the tests were proven on (Wine needs several).
    apt-get install -y -qq $missing
else
    echo "setup: these Debian packages are missing. Install them with:" >&2
    echo "  sudo apt-get install$missing" >&2
    exit 1
fi
