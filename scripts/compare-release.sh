#!/usr/bin/env bash
# Compares a release zip's modules with modules built from the source, byte
# for byte: each must match its line in the zip's SHA256SUMS.txt and, once
# any signature is removed (osslsigncode remove-signature: no certificate
# is needed for that), the module rebuilt at the same path. A line per
# file; the exit status is 0 only when every file matches.
#   scripts/compare-release.sh ZIP REBUILT_DIR   (REBUILT_DIR/32-bit/ZYT_Lumacut.8li, ...)
set -u
if [ $# -ne 2 ] || [ ! -f "$1" ] || [ ! -d "$2" ]; then
  echo "usage: scripts/compare-release.sh ZIP REBUILT_DIR" >&2
  exit 2
fi
zipfile=$1
rebuilt=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
unzip -q "$zipfile" -d "$work/zip" || { echo "compare-release.sh: $zipfile is not a readable zip" >&2; exit 1; }
release=$(find "$work/zip" -name SHA256SUMS.txt -printf '%h\n' | head -1)
[ -n "$release" ] && [ -s "$release/SHA256SUMS.txt" ] || { echo "compare-release.sh: $zipfile holds no SHA256SUMS.txt" >&2; exit 1; }
sha() { sha256sum < "$1" | cut -d' ' -f1; }

differences=0
while read -r sum name; do
  name=${name#\*}
  shipped=$release/$name
  line="$name:"
  rm -f "$work/signature" "$work/unsigned"
  if [ ! -f "$shipped" ]; then
    line="$line MISSING from the zip"
  elif [ "$(sha "$shipped")" != "$sum" ]; then
    line="$line DIFFERS from its line in SHA256SUMS.txt (a damaged download?)"
  elif [ ! -f "$rebuilt/$name" ]; then
    line="$line NOT BUILT from the source"
  else
    unsigned=$work/unsigned
    signed=""
    if osslsigncode extract-signature -in "$shipped" -out "$work/signature" >/dev/null 2>&1; then
      osslsigncode remove-signature -in "$shipped" -out "$unsigned" >/dev/null 2>&1 ||
        { echo "compare-release.sh: cannot remove the signature of $name" >&2; exit 1; }
      signed=" (signed; compared without its signature)"
    else
      cp "$shipped" "$unsigned"
    fi
    if cmp -s "$unsigned" "$rebuilt/$name"; then
      echo "$name: same bytes as the rebuild$signed, sha256 $(sha "$rebuilt/$name")"
      continue
    fi
    line="$line DIFFERS from the rebuild$signed: $(cmp "$unsigned" "$rebuilt/$name" 2>&1 | sed 's|.*differ: ||' | head -1)"
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
if [ "$differences" = 0 ]; then
  echo "every module matches"
else
  echo "$differences file(s) differ"
  exit 1
fi
