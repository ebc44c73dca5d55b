#!/usr/bin/env bash
# The main job with every module: the seven masks of the shipped photograph
# must be the same bytes from the native module, the x64 module under 64-bit
# Wine and the 32-bit module under 32-bit Wine. Needs the builds made
# (scripts/test.sh makes them) and, for Wine, a display (xvfb-run).
#
#   same-masks.sh                      compare native with every Windows module this machine runs
#   same-masks.sh win32=DIR            ... and with the 32-bit module's masks already written in DIR
#   same-masks.sh --write PRESET DIR   only write PRESET's masks into DIR, on a machine that runs it
#
# The last two are for kernels that run no 32-bit programs: scripts/test.sh
# has the emulated machine (scripts/i386-machine.sh) write the 32-bit
# module's masks, and compares them here.
set -eu
cd "$(dirname "$0")/.."

# From a lossless copy of the sample: each platform decodes JPEG with its
# own decoder (docs/document-engine.md), while every build reads a PNG to
# the same pixels, so that what is compared is the modules and nothing else.
# Paths stay relative, so that the Windows programs see the same folder
# through Wine.
write_masks() {  # PRESET DIR
  rm -rf "$2"
  mkdir -p "$2"
  convert samples/rocket.jpg PNG24:"$2/rocket.png"
  if [ "$1" = native ]; then
    build/native/bin/lumacut-host run --all "$2/rocket.png" --out "$2/masks" >/dev/null
  else
    LUMACUT_WINE_WAIT=1 scripts/wine-run.sh "build/$1/bin/lumacut-host.exe" run --all "$2/rocket.png" \
      --out "$2/masks" >/dev/null
  fi
}
if [ "${1:-}" = --write ]; then
  [ $# = 3 ] || { echo "usage: same-masks.sh --write PRESET DIR" >&2; exit 2; }
  write_masks "$2" "$3"
  exit
fi

out=build/same-masks
rm -rf "$out"
declare -A from=()
for written in "$@"; do
  from[${written%%=*}]=${written#*=}/masks
done
windows=(win64)
if scripts/can-run-i386.sh; then windows=(win32 win64); fi
for preset in native "${windows[@]}"; do
  [ -z "${from[$preset]:-}" ] || continue
  write_masks "$preset" "$out/$preset"
  from[$preset]=$out/$preset/masks
done
windows=($(printf '%s\n' "${!from[@]}" | grep -vx native | sort))
# The contact sheet is drawn by the host, not the module: masks only.
masks=$(cd "${from[native]}" && ls -- *.png | grep -v '^contact-sheet\.png$' || true)
if [ "$(echo "$masks" | grep -c .)" != 7 ]; then
  echo "same-masks.sh: the native run wrote $(echo "$masks" | grep -c .) masks, not 7" >&2
  exit 1
fi
differing=0
for preset in "${windows[@]}"; do
  for mask in $masks; do
    if ! cmp -s "${from[native]}/$mask" "${from[$preset]}/$mask"; then
      echo "same-masks.sh: $preset's $mask differs from the native module's (or is missing)" >&2
      differing=$((differing + 1))
    fi
  done
done
[ "$differing" = 0 ] || exit 1
echo "same-masks.sh: 7 masks, the same bytes from native and ${windows[*]}"
rm -rf "$out"
