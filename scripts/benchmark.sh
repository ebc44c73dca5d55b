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
# stage by stage: the whole command, its user and system CPU time, the read
# (decode), the events of its seven runs, the writers' filter and deflate
# CPU time, the time outside the program's own total (start and exit), the
# peak resident size and how busy each core was; one mode's whole command;
# libvips making the same seven masks at four PNG settings, after a check
# that its masks equal ours pixel for pixel; ImageMagick doing the seven
# chains one after another in the same run; and the targets. Where Windows
# builds are given (LUMACUT_BENCH_WINDOWS, e.g. "build/win64 build/win32"),
# the same command of each runs under Wine; a 32-bit build only where this
# machine runs 32-bit programs.
#
# Environment: LUMACUT_BENCH_BUILD (build folder, default build/bench),
# LUMACUT_BENCH_MODES (default "1 3 6"), LUMACUT_BENCH_REPEAT (default 5),
# LUMACUT_BENCH_WINDOWS (default none), LUMACUT_BENCH_MAGICK (0 leaves
# ImageMagick out: its chains take a minute or more; default 1),
# LUMACUT_BENCH_ALL_RUNS (runs of the native run --all, the row keeps the
# fastest; default 3).
#
# --batch measures a whole shoot instead (scripts/benchmark-batch.sh).
set -eu
batch=no
if [ "${1:-}" = --batch ]; then batch=yes; fi
cd "$(dirname "$0")/.."
build=${LUMACUT_BENCH_BUILD:-build/bench}
modes=${LUMACUT_BENCH_MODES:-1 3 6}
repeat=${LUMACUT_BENCH_REPEAT:-5}
withMagick=${LUMACUT_BENCH_MAGICK:-1}
allRuns=${LUMACUT_BENCH_ALL_RUNS:-3}
# Debian's ImageMagick 6 programs themselves, not whatever "convert" is first on the PATH.
magick=/usr/bin/convert-im6.q16
compare=/usr/bin/compare-im6.q16
for tool in "$magick" "$compare"; do
  [ -x "$tool" ] || { echo "benchmark.sh: $tool missing: apt-get install imagemagick" >&2; exit 1; }
done
pkg-config --exists vips || { echo "benchmark.sh: libvips missing: apt-get install libvips-dev" >&2; exit 1; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

echo "== building the engine (native, Release) in $build"
cmake --preset native -B "$build" -DCMAKE_BUILD_TYPE=Release -DLUMACUT_WERROR=OFF >/dev/null
cmake --build "$build" -j2 --target lumacut-bench lumacut-host lumacut-vips-peer ZYT_Lumacut >/dev/null

milliseconds() { echo $(( $(date +%s%N) / 1000000 )); }

# Busy and total jiffies of each core, one line per core, from /proc/stat.
core_times() { awk '/^cpu[0-9]/ { busy = $2 + $3 + $4 + $7 + $8 + $9; print $1, busy, busy + $5 + $6 }' /proc/stat; }

# Runs "$@" under GNU time: sets whole (ms), user and sys (ms), rss (peak
# KB) and cores (each core's busy share over the run, of the whole
# machine), and keeps the program's output in $work/last.txt.
timed() {
  local before start
  before=$(core_times)
  start=$(milliseconds)
  /usr/bin/time -f '%U %S %M' -o "$work/time.txt" "$@" >"$work/last.txt"
  whole=$(( $(milliseconds) - start ))
  read -r user sys rss <"$work/time.txt"
  user=$(awk -v u="$user" 'BEGIN { printf "%d", u * 1000 }')
  sys=$(awk -v s="$sys" 'BEGIN { printf "%d", s * 1000 }')
  cores=$(join <(echo "$before") <(core_times) |
    awk '{ printf "%s%s %.0f%%", (NR > 1 ? ", " : ""), $1, 100 * ($4 - $2) / (($5 - $3) > 0 ? $5 - $3 : 1) }')
}

if [ "$batch" = yes ]; then
  . scripts/benchmark-batch.sh
  exit 0
fi

echo "== making the 6000 x 4000 photograph"
"$magick" samples/rocket.jpg -resize '6000x4000!' "$work/photo.ppm"
"$magick" samples/rocket.jpg -resize '6000x4000!' -quality 92 "$work/photo.jpg"

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

  magickTime=- differ=-
  if [ "$withMagick" = 1 ]; then
    start=$(milliseconds)
    magick_chain "$work/photo.ppm" "$work/magick-$mode.png" "$mode"
    magickTime=$(( $(milliseconds) - start ))
    # compare prints the count of differing pixels on stderr and exits 1 when there are any.
    differ=$("$compare" -metric AE "$work/ours-$mode.png" "$work/magick-$mode.png" null: 2>&1 || true)
  fi
  rows+=("$mode $events $whole $magickTime $differ")
done

echo
echo "== 6000 x 4000, $(nproc) cores; engine: best of $repeat runs"
printf '%-5s %16s %16s %16s %18s %18s %14s\n' mode "engine events" "whole command" "ImageMagick 6" \
  "IM / engine events" "IM / whole command" "pixels differ"
for row in "${rows[@]}"; do
  read -r mode events whole magickTime differ <<<"$row"
  awk -v mode="$mode" -v e="$events" -v w="$whole" -v m="$magickTime" -v d="$differ" 'BEGIN {
    if (m == "-") printf "%-5s %13.1f ms %13d ms %16s %18s %18s %14s\n", mode, e, w, "-", "-", "-", "-"
    else printf "%-5s %13.1f ms %13d ms %13d ms %17.0fx %17.1fx %14s\n", mode, e, w, m, m / e, m / w, d }'
done

echo
echo "== run --all on the 6000 x 4000 JPEG (quality 92), $(nproc) cores"
# The curve tables of every mode, for ImageMagick's chains.
"$build/bin/lumacut-bench" "$work/photo.ppm" --modes 1234567 --repeat 1 --tables "$work" >/dev/null

# The --all command's stages, from its lines: the read, the plug-in's events
# of the seven runs (while the writers ran beside them), the writers'
# filter and deflate CPU time summed over the seven masks, and the
# program's own total, which start and exit are outside of.
stages() {
  awk '/read in/ { sub(/^.*read in /, ""); decode = $1 }
       /^mode .* written in/ { f = $0; sub(/^.*\(filter /, "", f); filter += f
                               d = $0; sub(/^.*deflate /, "", d); deflate += d }
       /^all 7 modes/ { t = $0; sub(/^.* in /, "", t); total = t; sub(/^.*events /, ""); events = $1 }
       END { printf "%.0f %.0f %.0f %.0f %.0f", decode, events, filter, deflate, total }' "$work/last.txt"
}

echo
printf '%-30s %9s %9s %9s %9s %9s %9s %9s %9s %9s  %s\n' "" "whole" "user" "sys" "decode" "events" "filter" \
  "deflate" "outside" "peak RSS" "each core busy (whole machine)"
# One row of run --all: the fastest of $1 runs by wall time, with the
# stages of that run.
all_row() {
  local label=$1 out=$2 runs=$3 best=""
  shift 3
  for _ in $(seq "$runs"); do
    rm -rf "$out"
    timed "$@" run --all "$work/photo.jpg" --out "$out"
    read -r decode events filter deflate total <<<"$(stages)"
    row=$(printf '%-30s %6d ms %6d ms %6d ms %6d ms %6d ms %6d ms %6d ms %6d ms %6d MB  %s' "$label" "$whole" "$user" \
      "$sys" "$decode" "$events" "$filter" "$deflate" $(( whole - total - decode )) $(( rss / 1024 )) "$cores")
    echo "$row"
    if [ -z "$best" ] || [ "$whole" -lt "$best" ]; then
      best=$whole
      echo "$row" >"$work/row-$label"
      echo "$whole $user $sys" >"$work/whole-$label"
    fi
  done
}
all_row native "$work/all-native" "$allRuns" "$build/bin/lumacut-host"
timed "$build/bin/lumacut-host" run --mode 1 "$work/photo.jpg" --mask "$work/one-mode.png"
printf '%-30s %6d ms %6d ms %6d ms %49s %6d MB  %s\n' "native, run --mode 1" "$whole" "$user" "$sys" "" \
  $(( rss / 1024 )) "$cores"
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
  all_row "$(basename "$windows") under Wine" "$work/all-$(basename "$windows")" 1 \
    scripts/wine-run.sh "$windows/bin/lumacut-host.exe"
done
echo "(whole: wall time; user and sys: CPU time of the process; decode and events: wall time as the program reports"
echo " them; filter and deflate: CPU time of the writing threads, summed over the seven masks; outside: wall time"
echo " outside the read and the program's own total: starting and exiting; native run --all: each of $allRuns runs, the"
echo " fastest is the one compared)"

echo
echo "== libvips $(pkg-config --modversion vips), the same seven masks in one process, from the same JPEG"
# Its masks first, untimed: a peer that computed something else would not be a measure of anything.
mkdir -p "$work/vips-check"
"$build/bin/lumacut-vips-peer" "$work/photo.jpg" "$work/vips-check" 1 none
differ=0
for mode in 1 2 3 4 5 6 7; do
  count=$("$compare" -metric AE "$(ls "$work"/all-native/mode-"$mode"-*.png)" "$work/vips-check/mode-$mode.png" \
    null: 2>&1 || true)
  differ=$(( differ + ${count%%.*} ))
done
echo "pixels where libvips' seven masks differ from ours: $differ"
if [ "$differ" != 0 ]; then
  echo "benchmark.sh: libvips computed other masks, so its times compare nothing" >&2
  exit 1
fi
oursBytes=$(cat "$work"/all-native/mode-*.png | wc -c)
printf '%-44s %9s %9s %9s %12s %10s\n' "PNG settings" "whole" "user" "sys" "bytes" "/ run --all"
read -r ourWhole _ <"$work/whole-native"
for setting in "1 none fastest" "6 none default" "1 all" "6 all same-size"; do
  read -r level filter tag <<<"$setting"
  mkdir -p "$work/vips-$level-$filter"
  timed "$build/bin/lumacut-vips-peer" "$work/photo.jpg" "$work/vips-$level-$filter" "$level" "$filter"
  bytes=$(cat "$work/vips-$level-$filter"/mode-*.png | wc -c)
  printf '%-44s %6d ms %6d ms %6d ms %12d %9.1fx\n' "compression $level, filters: $filter${tag:+ ($tag)}" "$whole" \
    "$user" "$sys" "$bytes" "$(awk -v v="$whole" -v o="$ourWhole" 'BEGIN { print v / o }')"
  if [ -n "$tag" ]; then echo "$whole" >"$work/vips-$tag"; fi
done
echo "run --all wrote $oursBytes bytes of masks"

if [ "$withMagick" = 1 ]; then
  start=$(milliseconds)
  for mode in 1 2 3 4 5 6 7; do magick_chain "$work/photo.jpg" "$work/magick-all-$mode.png" "$mode"; done
  magickAll=$(( $(milliseconds) - start ))
  printf '%-30s %7d ms   %.1fx run --all\n' "ImageMagick 6, the seven chains" "$magickAll" \
    "$(awk -v v="$magickAll" -v o="$ourWhole" 'BEGIN { print v / o }')"
  differ=0
  for mode in 1 2 3 4 5 6 7; do
    ours=$(ls "$work"/all-native/mode-"$mode"-*.png)
    count=$("$compare" -metric AE "$ours" "$work/magick-all-$mode.png" null: 2>&1 || true)
    differ=$(( differ + ${count%%.*} ))
  done
  # The per-mode rows start from the same decoded pixels; here each program
  # decodes the JPEG itself, and JPEG decoders differ by a level here and there.
  echo "pixels where the seven native masks differ from ImageMagick's (each decoding the JPEG itself): $differ"
fi

echo
echo "the fastest native run --all:"
cat "$work/row-native"
echo "targets:"
read -r ourWhole ourUser ourSys <"$work/whole-native"
awk -v w="$ourWhole" -v u="$ourUser" -v s="$ourSys" -v f="$(cat "$work/vips-fastest")" \
  -v z="$(cat "$work/vips-same-size")" 'BEGIN {
  printf "  run --all, native, 2 cores:         0.45 s or less   measured %.2f s   %s\n", w / 1000, (w <= 450) ? "met" : "missed"
  printf "  libvips fastest / run --all:        6x or more       measured %.1fx    %s\n", f / w, (f / w >= 6) ? "met" : "missed"
  printf "  libvips at our size / run --all:    15x or more      measured %.1fx    %s\n", z / w, (z / w >= 15) ? "met" : "missed"
  printf "  system time / CPU of run --all:     under 10%%        measured %.0f%%     %s\n", 100 * s / (u + s),
    (10 * s < u + s) ? "met" : "missed" }'
if [ -e "$work/whole-win64 under Wine" ]; then
  read -r winWhole _ <"$work/whole-win64 under Wine"
  awk -v w="$winWhole" -v n="$ourWhole" 'BEGIN {
    printf "  win64 under Wine / native:          1.5x or less     measured %.2fx    %s\n", w / n, (w <= 1.5 * n) ? "met" : "missed" }'
else
  echo "  win64 under Wine / native:          1.5x or less     not measured (LUMACUT_BENCH_WINDOWS=build/win64)"
fi
echo "  (load average now: $(cut -d' ' -f1-3 /proc/loadavg); figures on a busy machine are upper bounds)"
