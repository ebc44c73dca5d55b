#!/usr/bin/env bash
# How fast the host stand-in's document engine makes the masks, measured
# against ImageMagick 6 doing the same operations on the same photograph in
# the same run. Prints a table; it is a measurement, not a test.
#
# The photograph is the shipped sample enlarged to 6000 x 4000. For each
# mode measured: the engine's time for the events of one run alone (best
# of several, native Release build), the whole lumacut-host command
# (reading the image, the plug-in's run, writing the mask PNG), and
# ImageMagick's convert on the equivalent chain: luminosity with the same
# weights, -negate for the shadow modes, -clut with the tables the
# plug-in's curves make, -statistic Median 3x3, writing the mask PNG. The
# last column counts the pixels where the two masks differ: 0 when both
# compute the same thing.
#
# Environment: LUMACUT_BENCH_BUILD (build folder, default build/bench),
# LUMACUT_BENCH_MODES (default "1 3 6"), LUMACUT_BENCH_REPEAT (default 5).
set -eu
cd "$(dirname "$0")/.."
build=${LUMACUT_BENCH_BUILD:-build/bench}
modes=${LUMACUT_BENCH_MODES:-1 3 6}
repeat=${LUMACUT_BENCH_REPEAT:-5}
# Debian's ImageMagick 6 programs themselves, not whatever "convert" is first on the PATH.
magick=/usr/bin/convert-im6.q16
compare=/usr/bin/compare-im6.q16
for tool in "$magick" "$compare"; do
  [ -x "$tool" ] || { echo "benchmark.sh: $tool missing: apt-get install imagemagick" >&2; exit 1; }
done
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

echo "== building the engine (native, Release) in $build"
cmake --preset native -B "$build" -DCMAKE_BUILD_TYPE=Release -DLUMACUT_WERROR=OFF >/dev/null
cmake --build "$build" -j2 --target lumacut-bench lumacut-host ZYT_Lumacut >/dev/null

echo "== making the 6000 x 4000 photograph"
"$magick" samples/rocket.jpg -resize '6000x4000!' "$work/photo.ppm"

milliseconds() { echo $(( $(date +%s%N) / 1000000 )); }

echo "== the engine, events of one run (lumacut-bench)"
"$build/bin/lumacut-bench" "$work/photo.ppm" --modes "$(echo "$modes" | tr -d ' ')" --repeat "$repeat" \
  --tables "$work" | tee "$work/engine.txt"

rows=()
for mode in $modes; do
  events=$(awk -v m="mode=$mode" '$1 == "engine-ms" && $2 == m { sub("all=", "", $5); print $5 }' "$work/engine.txt")

  start=$(milliseconds)
  "$build/bin/lumacut-host" run --mode "$mode" "$work/photo.ppm" --mask "$work/ours-$mode.png" >/dev/null
  whole=$(( $(milliseconds) - start ))

  invert=()
  case "$mode" in 3|4) invert=(-negate) ;; esac
  cluts=()
  for table in "$work"/clut-"$mode"-*.png; do
    [ -e "$table" ] && cluts+=("$table" -clut)
  done
  start=$(milliseconds)
  # -depth 8 truncates here; half a level added first makes it round half
  # up, as our luminosity does, so that both masks can be compared.
  "$magick" "$work/photo.ppm" -color-matrix '0.30 0.59 0.11 0.30 0.59 0.11 0.30 0.59 0.11' \
    -channel R -separate +channel -evaluate Add 0.196078% -depth 8 "${invert[@]}" -interpolate Integer \
    "${cluts[@]}" -statistic Median 3x3 "$work/magick-$mode.png" 2>/dev/null
  magickTime=$(( $(milliseconds) - start ))

  # compare prints the count of differing pixels on stderr and exits 1 when there are any.
  differ=$("$compare" -metric AE "$work/ours-$mode.png" "$work/magick-$mode.png" null: 2>&1 || true)
  rows+=("$mode $events $whole $magickTime $differ")
done

echo
echo "== 6000 x 4000, $(nproc) cores; engine: best of $repeat runs"
printf '%-5s %16s %16s %16s %18s %18s %14s\n' mode "engine events" "whole command" "ImageMagick 6" \
  "IM / engine events" "IM / whole command" "pixels differ"
for row in "${rows[@]}"; do
  read -r mode events whole magickTime differ <<<"$row"
  awk -v mode="$mode" -v e="$events" -v w="$whole" -v m="$magickTime" -v d="$differ" 'BEGIN {
    printf "%-5s %13.1f ms %13d ms %13d ms %17.0fx %17.1fx %14s\n", mode, e, w, m, m / e, m / w, d }'
done
