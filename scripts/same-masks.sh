#!/usr/bin/env bash
# The main job with every module this machine can run: the seven masks of
# the shipped photograph must be the same bytes from the native module, the
# x64 module under 64-bit Wine and, where the kernel runs 32-bit programs,
# the 32-bit module under 32-bit Wine. Needs the builds made (scripts/test.sh
# makes them) and, for Wine, a display (xvfb-run).
set -eu
cd "$(dirname "$0")/.."
# Relative, so that the Windows programs see the same folder through Wine.
out=build/same-masks
rm -rf "$out"
mkdir -p "$out"
windows=(win64)
if scripts/can-run-i386.sh; then windows=(win32 win64); fi
# From a lossless copy of the sample: each platform decodes JPEG with its
# own decoder (docs/document-engine.md), while every build reads a PNG to
# the same pixels, so that what is compared is the modules and nothing else.
convert samples/rocket.jpg PNG24:"$out/rocket.png"
build/native/bin/lumacut-host run --all "$out/rocket.png" --out "$out/native" >/dev/null
for preset in "${windows[@]}"; do
  LUMACUT_WINE_WAIT=1 scripts/wine-run.sh "build/$preset/bin/lumacut-host.exe" run --all "$out/rocket.png" \
    --out "$out/$preset" >/dev/null
done
# The contact sheet is drawn by the host, not the module: masks only.
masks=$(cd "$out/native" && ls -- *.png | grep -v '^contact-sheet\.png$' || true)
if [ "$(echo "$masks" | grep -c .)" != 7 ]; then
  echo "same-masks.sh: the native run wrote $(echo "$masks" | grep -c .) masks, not 7" >&2
  exit 1
fi
differing=0
for preset in "${windows[@]}"; do
  for mask in $masks; do
    if ! cmp -s "$out/native/$mask" "$out/$preset/$mask"; then
      echo "same-masks.sh: $preset's $mask differs from the native module's" >&2
      differing=$((differing + 1))
    fi
  done
done
[ "$differing" = 0 ] || exit 1
echo "same-masks.sh: 7 masks, the same bytes from native and ${windows[*]}"
rm -rf "$out"
