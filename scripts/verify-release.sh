#!/usr/bin/env bash
# Proves that a release zip's modules are built from this source: rebuilds
# both modules from the checked-out commit in a temporary folder and
# compares them, byte for byte, with the zip's. Signed modules are compared
# with their signature removed, so no certificate is needed to check one.
# A line per file; the exit status is 0 only when every file matches.
#   scripts/verify-release.sh [--working-tree] [--build-dir DIR] ZIP
#     --working-tree   rebuild the working tree as it is (changes included) instead of the last commit
#     --build-dir DIR  build in DIR and keep it (a later run with the same DIR only rebuilds what changed)
set -eu
top=$(cd "$(dirname "$0")/.." && pwd)
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
for tool in cmake unzip sha256sum osslsigncode; do
  command -v $tool >/dev/null || "$top/scripts/install-deps.sh"
done
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
[ -n "$build" ] || build=$work/build
mkdir -p "$build"
build=$(cd "$build" && pwd)

# The modules as shipped, and their sums as the zip states them.
unzip -q "$zipfile" -d "$work/zip" || { echo "verify-release.sh: $zipfile is not a readable zip" >&2; exit 1; }
release=$(find "$work/zip" -name SHA256SUMS.txt -printf '%h\n' | head -1)
[ -n "$release" ] || { echo "verify-release.sh: $zipfile holds no SHA256SUMS.txt" >&2; exit 1; }

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
mkdir -p "$build/rebuilt"
cp "$build/win32/bin/ZYT_Lumacut.8li" "$build/rebuilt/32-bit.8li"
cp "$build/win64/bin/ZYT_Lumacut.8li" "$build/rebuilt/64-bit.8li"

differences=0
while read -r sum name; do
  name=${name#\*}
  shipped=$release/$name
  bits=${name%%/*}
  line="$name:"
  if [ ! -f "$shipped" ]; then
    line="$line MISSING from the zip"
  elif [ "$(sha256sum < "$shipped" | cut -d' ' -f1)" != "$sum" ]; then
    line="$line DIFFERS from its line in SHA256SUMS.txt (damaged download?)"
  elif [ ! -f "$build/rebuilt/$bits.8li" ]; then
    line="$line no such module is built from the source"
  else
    unsigned=$work/$bits.unsigned
    if osslsigncode extract-signature -in "$shipped" -out "$work/$bits.sig" >/dev/null 2>&1; then
      osslsigncode remove-signature -in "$shipped" -out "$unsigned" >/dev/null
      signed=" (signed; compared without its signature)"
    else
      cp "$shipped" "$unsigned"
      signed=""
    fi
    if cmp -s "$unsigned" "$build/rebuilt/$bits.8li"; then
      echo "$line same bytes as the rebuild$signed, sha256 $(sha256sum < "$build/rebuilt/$bits.8li" | cut -d' ' -f1)"
      continue
    fi
    line="$line DIFFERS from the rebuild$signed: $(cmp "$unsigned" "$build/rebuilt/$bits.8li" 2>&1 | head -1)"
  fi
  echo "$line"
  differences=$((differences + 1))
done < "$release/SHA256SUMS.txt"
# A module the sums do not name would go unchecked.
while read -r name; do
  awk '{ sub(/^\*/, "", $2); print $2 }' "$release/SHA256SUMS.txt" | grep -qxF "$name" && continue
  echo "$name: NOT LISTED in SHA256SUMS.txt"
  differences=$((differences + 1))
done < <(cd "$release" && find . -name '*.8li' | sed 's|^\./||' | LC_ALL=C sort)
if [ "$differences" = 0 ] && [ -s "$release/SHA256SUMS.txt" ]; then
  echo "verify-release.sh: every module matches"
else
  echo "verify-release.sh: $differences file(s) differ"
  exit 1
fi
