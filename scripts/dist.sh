#!/bin/sh
# `make dist`: the release packages in dist/, each from a clean Release build without the tests:
#   zerkon-VERSION-windows-x86.zip, zerkon-VERSION-windows-x64.zip   both programs, README.txt, LICENSE.txt, kestrel.dp
#   zerkon-cli_VERSION_amd64.deb                                    zerkon-cli, its man page and bash completion
#   SHA256SUMS
# The packages depend on the commit alone: every time in them is the commit's date (SOURCE_DATE_EPOCH), and the
# programs are stripped with no link time and no build path in them (ZERKON_RELEASE_BUILD). Each package's file list
# is checked, and lintian must find no error in the .deb.
set -eu
cd "$(dirname "$0")/.."
SOURCE_DATE_EPOCH="${SOURCE_DATE_EPOCH:-$(git log -1 --format=%ct)}"
export SOURCE_DATE_EPOCH TZ=UTC LC_ALL=C.UTF-8
umask 022
rm -rf dist build/dist
mkdir -p dist

# Configures and builds quietly; the log is shown only when something fails.
build() { # FOLDER CMAKE-ARGUMENTS...
    folder="$1"
    shift
    mkdir -p "$folder"
    if ! { cmake -S . -B "$folder" -DCMAKE_BUILD_TYPE=Release -DZERKON_BUILD_TESTS=OFF -DZERKON_RELEASE_BUILD=ON "$@" &&
        cmake --build "$folder" -j2; } >"$folder/build.log" 2>&1; then
        tail -n 40 "$folder/build.log" >&2
        echo "dist: the build in $folder failed; its log is $folder/build.log" >&2
        exit 1
    fi
}

# Fails unless the two lists (one name a line) are the same.
expect_files() { # PACKAGE EXPECTED ACTUAL
    if [ "$2" != "$3" ]; then
        echo "dist: $1 holds other files than expected:" >&2
        printf '%s\n' "$2" >"$tmp/expected"
        printf '%s\n' "$3" >"$tmp/actual"
        diff "$tmp/expected" "$tmp/actual" >&2 || true
        exit 1
    fi
}
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT

for architecture in x86 x64; do
    case $architecture in
    x86) toolchain=cmake/mingw-i686.cmake ;;
    x64) toolchain=cmake/mingw-x86_64.cmake ;;
    esac
    folder=build/dist/windows-$architecture
    build "$folder" -DCMAKE_TOOLCHAIN_FILE="$toolchain"
    version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$folder/CMakeCache.txt")
    stage="$folder/stage"
    cmake --install "$folder" --prefix "$stage" >/dev/null
    # zip stores local times, hence TZ=UTC; -X leaves out the owner and the extra times.
    find "$stage" -exec touch -h -d "@$SOURCE_DATE_EPOCH" {} +
    zip="$PWD/dist/zerkon-$version-windows-$architecture.zip"
    (cd "$stage" && zip -X -D -q "$zip" ZERKON.EXE zerkon-cli.exe README.txt LICENSE.txt kestrel.dp)
    expect_files "${zip##*/}" "ZERKON.EXE
zerkon-cli.exe
README.txt
LICENSE.txt
kestrel.dp" "$(unzip -Z1 "$zip")"
done

folder=build/dist/linux
build "$folder" -DCMAKE_INSTALL_PREFIX=/usr
(cd "$folder" && cpack -G DEB >cpack.log 2>&1) || { cat "$folder/cpack.log" >&2; exit 1; }
cp "$folder"/packages/*.deb dist/
deb=$(ls dist/*.deb)
expect_files "${deb##*/}" "./usr/bin/zerkon-cli
./usr/share/bash-completion/completions/zerkon-cli
./usr/share/doc/zerkon-cli/changelog.gz
./usr/share/doc/zerkon-cli/copyright
./usr/share/man/man1/zerkon-cli.1.gz" "$(dpkg-deb --fsys-tarfile "$deb" | tar -t | grep -v '/$' | sort)"
if ! lintian --fail-on error "$deb" >"$tmp/lintian" 2>&1; then
    cat "$tmp/lintian" >&2
    echo "dist: lintian found errors in $deb" >&2
    exit 1
fi

(cd dist && sha256sum -- *.zip *.deb >SHA256SUMS)
echo "dist: the packages of commit $(git rev-parse --short HEAD) are in dist/:"
ls -l dist | tail -n +2
