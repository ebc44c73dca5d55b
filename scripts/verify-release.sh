#!/usr/bin/env bash
# Proves that a release zip's modules are built from this source: rebuilds
# both modules from the checked-out commit in a temporary folder and
# compares them, byte for byte, with the zip's (scripts/compare-release.sh:
# a line per file, signatures removed first, exit status 0 only when every
# file matches).
#   scripts/verify-release.sh [--working-tree] [--build-dir DIR] ZIP
#     --working-tree   rebuild the working tree as it is (changes included) instead of the last commit
#     --build-dir DIR  build in DIR and keep it (a later run with the same DIR only rebuilds what changed)
set -eu
top=$(cd "$(dirname "$0")/.." && pwd)
. "$top/scripts/wine-facts.sh"
source=commit
build=
while [ $# -gt 1 ]; do
  case $1 in
    --working-tree) source=tree; shift ;;
    --build-dir) build=$2; shift 2 ;;
    *) break ;;
  esac
done
if [ $# -ne 1 ] || [ ! -f "$1" ]; then
  echo "usage: scripts/verify-release.sh [--working-tree] [--build-dir DIR] ZIP" >&2
  exit 2
fi
zipfile=$1
for tool in cmake git unzip osslsigncode; do
  command -v $tool >/dev/null || "$top/scripts/install-deps.sh"
done
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
[ -n "$build" ] || build=$work/build
mkdir -p "$build"
build=$(cd "$build" && pwd)

# The same sources, in a folder of their own; their file times are kept, so
# that a kept build folder only rebuilds what changed.
export SOURCE_DATE_EPOCH
SOURCE_DATE_EPOCH=$(SOURCE_DATE_EPOCH='' "$top/scripts/commit-time.sh")
rm -rf "$build/src"
mkdir -p "$build/src"
if [ "$source" = commit ]; then
  git -C "$top" archive --format=tar HEAD | tar -x -C "$build/src"
  echo "verify-release.sh: rebuilding commit $(git -C "$top" rev-parse --short HEAD) in $build"
else
  (cd "$top" && git ls-files -z --cached --others --exclude-standard |
     tar --null --ignore-failed-read -T - -c 2>/dev/null) | tar -x -C "$build/src"
  echo "verify-release.sh: rebuilding the working tree in $build"
fi
for preset in win32 win64; do
  binary=$build/$preset
  (cd "$build/src" && cmake --preset $preset -B "$binary" >/dev/null &&
     cmake --build "$binary" -j"$(nproc)" --target ZYT_Lumacut >/dev/null) ||
    { echo "verify-release.sh: the $preset build failed" >&2; exit 1; }
done
rm -rf "$build/rebuilt"
for bits in 32 64; do
  mkdir -p "$build/rebuilt/$bits-bit"
  cp "$(built_module "$build/win$bits")" "$build/rebuilt/$bits-bit/ZYT_Lumacut.8li"
done
"$top/scripts/compare-release.sh" "$zipfile" "$build/rebuilt"
