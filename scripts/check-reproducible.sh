#!/bin/sh
# Proves that the release packages depend on the commit alone: two clean clones of it, in folders of different
# names, each run `make dist`, and every package must come out byte for byte the same. Slow (everything is built
# twice, without the compiler cache, which could hand one clone's objects to the other), so not part of `make test`.
#   scripts/check-reproducible.sh [COMMIT]      the commit defaults to HEAD; uncommitted changes are not seen
set -eu
cd "$(dirname "$0")/.."
commit=$(git rev-parse --verify "${1:-HEAD}^{commit}")
work="$PWD/build/reproducible"
rm -rf "$work"
mkdir -p "$work"

# Both clones first, while the commit is surely at hand.
for clone in one another-clone; do
    git clone -q --no-local --no-checkout . "$work/$clone"
    git -C "$work/$clone" checkout -q --detach "$commit"
done
for clone in one another-clone; do
    echo "reproducible: make dist in $work/$clone"
    if ! (cd "$work/$clone" && env -u CMAKE_CXX_COMPILER_LAUNCHER CCACHE_DISABLE=1 make dist) >"$work/$clone.log" 2>&1; then
        tail -n 30 "$work/$clone.log" >&2
        echo "reproducible: make dist failed in $work/$clone; its log is $work/$clone.log" >&2
        exit 1
    fi
done

different=0
for package in "$work/one/dist"/*; do
    name=${package##*/}
    if cmp -s "$package" "$work/another-clone/dist/$name"; then
        echo "same:      $name"
    else
        echo "DIFFERENT: $name"
        different=1
    fi
done
[ "$(ls "$work/one/dist")" = "$(ls "$work/another-clone/dist")" ] || { echo "the two dist/ folders hold other files"; different=1; }
if [ "$different" -ne 0 ]; then
    echo "reproducible: the packages of $commit differ between two clean builds (both are kept in $work)" >&2
    exit 1
fi
echo "reproducible: both clean builds of $commit gave byte-identical packages"
