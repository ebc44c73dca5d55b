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
# Then `lumacut-host run --all` on the photograph as a JPEG of quality 92,
# stage by stage: the whole command, its CPU time, the read (decode), the
# events of its seven runs, the writers' filter and deflate CPU time, the
# peak resident size and how busy each core was; one mode's whole command;
# ImageMagick doing the seven chains one after another in the same run; and
# the targets. Where Windows builds are given (LUMACUT_BENCH_WINDOWS, e.g.
# "build/win64 build/win32"), the same command of each runs under Wine; a
# 32-bit build only where this machine runs 32-bit programs.
#
# Environment: LUMACUT_BENCH_BUILD (build folder, default build/bench),
# LUMACUT_BENCH_MODES (default "1 3 6"), LUMACUT_BENCH_REPEAT (default 5),
# LUMACUT_BENCH_WINDOWS (default none).
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
"$magick" samples/rocket.jpg -resize '6000x4000!' -quality 92 "$work/photo.jpg"

milliseconds() { echo $(( $(date +%s%N) / 1000000 )); }

echo "== the engine, events of one run (lumacut-bench)"
"$build/bin/lumacut-bench" "$work/photo.ppm" --modes "$(echo "$modes" | tr -d ' ')" --repeat "$repeat" \
  --tables "$work" | tee "$work/engine.txt"

# ImageMagick's chain for one mode, from $1 to $2, with the curve tables
# lumacut-bench wrote for it.
magick_chain() {
  local mode=$3 invert=() cluts=() table
  case "$mode" in 3|4) invert=(-negate) ;; esac
  for table in "$work"/clut-"$mode"-*.png; do
    [ -e "$table" ] && cluts+=("$table" -clut)
  done
  # -depth 8 truncates here; half a level added first makes it round half
  # up, as our luminosity does, so that both masks can be compared.
  "$magick" "$1" -color-matrix '0.30 0.59 0.11 0.30 0.59 0.11 0.30 0.59 0.11' \
    -channel R -separate +channel -evaluate Add 0.196078% -depth 8 "${invert[@]}" -interpolate Integer \
    "${cluts[@]}" -statistic Median 3x3 "$2" 2>/dev/null
}

rows=()
for mode in $modes; do
  events=$(awk -v m="mode=$mode" '$1 == "engine-ms" && $2 == m { sub("all=", "", $5); print $5 }' "$work/engine.txt")

  start=$(milliseconds)
  "$build/bin/lumacut-host" run --mode "$mode" "$work/photo.ppm" --mask "$work/ours-$mode.png" >/dev/null
  whole=$(( $(milliseconds) - start ))

  start=$(milliseconds)
  magick_chain "$work/photo.ppm" "$work/magick-$mode.png" "$mode"
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

echo
echo "== run --all on the 6000 x 4000 JPEG (quality 92), $(nproc) cores"
# The curve tables of every mode, for ImageMagick's chains.
"$build/bin/lumacut-bench" "$work/photo.ppm" --modes 1234567 --repeat 1 --tables "$work" >/dev/null

# Busy and total jiffies of each core, one line per core, from /proc/stat.
core_times() { awk '/^cpu[0-9]/ { busy = $2 + $3 + $4 + $7 + $8 + $9; print $1, busy, busy + $5 + $6 }' /proc/stat; }

# Runs "$@" as a command of lumacut-host with its arguments, under GNU time:
# sets whole (ms), cpu (user + sys ms), rss (peak KB) and cores (each
# core's busy share over the run, of the whole machine), and keeps the
# program's output in $work/last.txt.
timed() {
  local before start
  before=$(core_times)
  start=$(milliseconds)
  /usr/bin/time -f '%U %S %M' -o "$work/time.txt" "$@" >"$work/last.txt"
  whole=$(( $(milliseconds) - start ))
  read -r user sys rss <"$work/time.txt"
  cpu=$(awk -v u="$user" -v s="$sys" 'BEGIN { printf "%d", (u + s) * 1000 }')
  cores=$(join <(echo "$before") <(core_times) |
    awk '{ printf "%s%s %.0f%%", (NR > 1 ? ", " : ""), $1, 100 * ($4 - $2) / (($5 - $3) > 0 ? $5 - $3 : 1) }')
}

# The --all command's stages, from its lines: the read, the plug-in's events
# of the seven runs (while the writers ran beside them), and the writers'
# filter and deflate CPU time summed over the seven masks.
stages() {
  awk '/read in/ { sub(/^.*read in /, ""); decode = $1 }
       /^mode .* written in/ { f = $0; sub(/^.*\(filter /, "", f); filter += f
                               d = $0; sub(/^.*deflate /, "", d); deflate += d }
       /^all 7 modes/ { sub(/^.*events /, ""); events = $1 }
       END { printf "%.0f %.0f %.0f %.0f", decode, events, filter, deflate }' "$work/last.txt"
}

echo
printf '%-30s %10s %10s %10s %10s %10s %10s %10s  %s\n' "" "whole" "CPU" "decode" "events" "filter" "deflate" \
  "peak RSS" "each core busy (whole machine)"
all_row() {
  local label=$1 out=$2
  shift 2
  timed "$@" run --all "$work/photo.jpg" --out "$out"
  read -r decode events filter deflate <<<"$(stages)"
  printf '%-30s %7d ms %7d ms %7d ms %7d ms %7d ms %7d ms %7d MB  %s\n' "$label" "$whole" "$cpu" "$decode" "$events" \
    "$filter" "$deflate" $(( rss / 1024 )) "$cores"
  echo "$whole" >"$work/whole-$label"
}
all_row native "$work/all-native" "$build/bin/lumacut-host"
timed "$build/bin/lumacut-host" run --mode 1 "$work/photo.jpg" --mask "$work/one-mode.png"
printf '%-30s %7d ms %7d ms %51s %7d MB  %s\n' "native, run --mode 1" "$whole" "$cpu" "" $(( rss / 1024 )) "$cores"
echo "$whole" >"$work/whole-one"
for windows in ${LUMACUT_BENCH_WINDOWS:-}; do
  if [ ! -x "$windows/bin/lumacut-host.exe" ]; then
    echo "benchmark.sh: $windows/bin/lumacut-host.exe missing (cmake --build --preset $(basename "$windows"))" >&2
    continue
  fi
  if [ "$(basename "$windows")" = win32 ] && ! scripts/can-run-i386.sh; then
    echo "$(basename "$windows"): not measurable here, this kernel runs no 32-bit programs"
    continue
  fi
  # A first start sets up the Wine prefix and is not part of the figure; a
  # server kept running makes each start cheap, as on Windows.
  scripts/wine-run.sh "$windows/bin/lumacut-host.exe" --version >/dev/null 2>&1 || true
  all_row "$(basename "$windows") under Wine" "$work/all-$(basename "$windows")" \
    scripts/wine-run.sh "$windows/bin/lumacut-host.exe"
done
echo "(whole: wall time; CPU: user + sys of the process; decode and events: wall time as the program reports"
echo " them; filter and deflate: CPU time of the writing threads, summed over the seven masks)"

start=$(milliseconds)
for mode in 1 2 3 4 5 6 7; do magick_chain "$work/photo.jpg" "$work/magick-all-$mode.png" "$mode"; done
magickAll=$(( $(milliseconds) - start ))
printf '%-30s %7d ms\n' "ImageMagick 6, the seven chains" "$magickAll"

differ=0
for mode in 1 2 3 4 5 6 7; do
  ours=$(ls "$work"/all-native/mode-"$mode"-*.png)
  count=$("$compare" -metric AE "$ours" "$work/magick-all-$mode.png" null: 2>&1 || true)
  differ=$(( differ + ${count%%.*} ))
done
# The per-mode rows start from the same decoded pixels; here each program
# decodes the JPEG itself, and JPEG decoders differ by a level here and there.
echo "pixels where the seven native masks differ from ImageMagick's (each decoding the JPEG itself): $differ"

echo
echo "targets:"
awk -v w="$(cat "$work/whole-native")" -v m="$magickAll" -v o="$(cat "$work/whole-one")" 'BEGIN {
  printf "  run --all, native, 2 cores:    0.8 s or less    measured %.2f s   %s\n", w / 1000, (w <= 800) ? "met" : "missed"
  printf "  ImageMagick / run --all:       80x or more      measured %.1fx    %s\n", m / w, (m / w >= 80) ? "met" : "missed"
  printf "  run --mode 1, whole command:   0.5 s or less    measured %.2f s   %s\n", o / 1000, (o <= 500) ? "met" : "missed" }'
if [ -e "$work/whole-win64 under Wine" ]; then
  awk -v w="$(cat "$work/whole-win64 under Wine")" -v n="$(cat "$work/whole-native")" 'BEGIN {
    printf "  win64 under Wine / native:     1.5x or less     measured %.2fx    %s\n", w / n, (w <= 1.5 * n) ? "met" : "missed" }'
else
  echo "  win64 under Wine / native:     1.5x or less     not measured (LUMACUT_BENCH_WINDOWS=build/win64)"
fi
echo "  (load average now: $(cut -d' ' -f1-3 /proc/loadavg); figures on a busy machine are upper bounds)"
