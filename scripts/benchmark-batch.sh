# Sourced by scripts/benchmark.sh --batch, after the build: a shoot of 12
# distinct 6000 x 4000 JPEGs made from the sample (crops, flips, resizes,
# made here and never kept), and photos per minute for lumacut-host's
# batch, a shell loop of single run --all commands, and the libvips peer
# one process per photograph. Each figure is the best of
# LUMACUT_BENCH_BATCH_RUNS (default 3): other builds on a shared machine
# only ever slow a run down. Then the peak resident size of the batch for
# 1, 10 and 40 photographs (the 12 repeated under other names), lowest and
# highest of as many runs.
# Uses from benchmark.sh: $build, $work, $magick, $compare, timed.
batchRuns=${LUMACUT_BENCH_BATCH_RUNS:-3}
host=$build/bin/lumacut-host
peer=$build/bin/lumacut-vips-peer

echo "== making 12 distinct 6000 x 4000 JPEGs (quality 92) from samples/rocket.jpg"
mkdir -p "$work/shoot"
variations=("" "-flop" "-flip" "-rotate 180" "-gravity center -crop 80%x80%+0+0" "-gravity northwest -crop 70%x70%+0+0"
            "-gravity southeast -crop 75%x75%+0+0 -flop" "-gravity east -crop 60%x90%+0+0" "-resize 50% -flip"
            "-gravity west -crop 90%x60%+0+0 -flop" "-gravity north -crop 85%x85%+0+0 -rotate 180"
            "-gravity south -crop 65%x80%+0+0")
for i in "${!variations[@]}"; do
  # shellcheck disable=SC2086 # each variation is several words
  "$magick" samples/rocket.jpg ${variations[$i]} +repage -resize '6000x4000!' -quality 92 \
    "$work/shoot/photo-$(printf '%02d' $((i + 1))).jpg"
done
photos=("$work"/shoot/*.jpg)
count=${#photos[@]}

# Best of $batchRuns: sets best (ms) and bestRss (KB) from timed's figures.
best_of() {
  best="" bestRss=""
  for _ in $(seq "$batchRuns"); do
    "$@"
    if [ -z "$best" ] || [ "$whole" -lt "$best" ]; then best=$whole bestRss=$rss; fi
  done
}
per_minute() { awk -v n="$1" -v ms="$2" 'BEGIN { printf "%.1f", n * 60000 / ms }'; }

batch_run() { rm -rf "$work/batch"; timed "$host" run --all "$work/shoot" --out "$work/batch" --quiet; }
loop_run() {
  rm -rf "$work/loop"
  mkdir "$work/loop"
  timed bash -c 'for f in "$2"/*.jpg; do s=$(basename "$f" .jpg); "$1" run --all "$f" --out "$3/$s" >/dev/null || exit; done' \
    _ "$host" "$work/shoot" "$work/loop"
}
# $1 compression, $2 PNG filters, as the peer takes them.
vips_run() {
  rm -rf "$work/vips"
  mkdir "$work/vips"
  timed bash -c 'for f in "$2"/*.jpg; do s=$(basename "$f" .jpg); mkdir "$3/$s"; "$1" "$f" "$3/$s" "$4" "$5" || exit; done' \
    _ "$peer" "$work/shoot" "$work/vips" "$1" "$2"
}

echo "== $count photographs, $(nproc) cores, best of $batchRuns runs each"
best_of batch_run
batchMs=$best
best_of loop_run
loopMs=$best
# The batch writes what single commands write, byte for byte.
if ! diff -r -q "$work/batch" "$work/loop" >/dev/null; then
  echo "benchmark-batch: the batch and the single commands wrote different files" >&2
  exit 1
fi
# The peer's masks equal ours, checked on the first and the last photograph
# (other crops and flips), before it is timed.
vips_run 1 none
differ=0
for photo in "${photos[0]}" "${photos[$((count - 1))]}"; do
  stem=$(basename "$photo" .jpg)
  for mode in 1 2 3 4 5 6 7; do
    n=$("$compare" -metric AE "$(ls "$work/batch/$stem"/mode-"$mode"-*.png)" "$work/vips/$stem/mode-$mode.png" null: 2>&1 || true)
    differ=$(( differ + ${n%%.*} ))
  done
done
echo "pixels where libvips' masks differ from ours (2 photographs x 7 modes): $differ"
if [ "$differ" != 0 ]; then
  echo "benchmark-batch: libvips computed other masks, so its times compare nothing" >&2
  exit 1
fi
oursBytes=$(find "$work/batch" -name 'mode-*.png' -exec cat {} + | wc -c)
best_of vips_run 1 none
vipsFastMs=$best
fastBytes=$(find "$work/vips" -name 'mode-*.png' -exec cat {} + | wc -c)
best_of vips_run 6 none
vipsDefaultMs=$best
defaultBytes=$(find "$work/vips" -name 'mode-*.png' -exec cat {} + | wc -c)

printf '%-52s %9s %12s %14s\n' "" "whole" "photos/min" "mask bytes"
printf '%-52s %6d ms %12s %14d\n' "lumacut-host run --all FOLDER (the batch)" "$batchMs" "$(per_minute "$count" "$batchMs")" "$oursBytes"
printf '%-52s %6d ms %12s %14d\n' "a shell loop of lumacut-host run --all PHOTO" "$loopMs" "$(per_minute "$count" "$loopMs")" "$oursBytes"
printf '%-52s %6d ms %12s %14d\n' "libvips peer, compression 1, no filter (fastest)" "$vipsFastMs" \
  "$(per_minute "$count" "$vipsFastMs")" "$fastBytes"
printf '%-52s %6d ms %12s %14d\n' "libvips peer, compression 6, no filter (default)" "$vipsDefaultMs" \
  "$(per_minute "$count" "$vipsDefaultMs")" "$defaultBytes"

echo "== peak resident size of the batch, lowest and highest of $batchRuns runs each"
# A peak is the highest of many moments, and which masks wait for a writer
# at the worst one varies from run to run: one photograph's peak is a
# sample of it, by some 20 MB here. Several runs show the spread; the
# target compares the highest of each, and the lowest beside them.
peaks_for() {
  rm -rf "$work/many"
  mkdir "$work/many"
  local i low="" high=""
  for i in $(seq 1 "$1"); do
    ln -s "${photos[$(( (i - 1) % count ))]}" "$work/many/shot-$(printf '%02d' "$i").jpg"
  done
  for _ in $(seq "$batchRuns"); do
    rm -rf "$work/batch"
    timed "$host" run --all "$work/many" --out "$work/batch" --quiet
    if [ -z "$low" ] || [ "$rss" -lt "$low" ]; then low=$rss; fi
    if [ -z "$high" ] || [ "$rss" -gt "$high" ]; then high=$rss; fi
  done
  echo "$low $high"
}
read -r low1 peak1 < <(peaks_for 1)
read -r low10 peak10 < <(peaks_for 10)
read -r low40 peak40 < <(peaks_for 40)
printf '  1 photograph: %d-%d MB   10: %d-%d MB   40: %d-%d MB\n' $((low1 / 1024)) $((peak1 / 1024)) \
  $((low10 / 1024)) $((peak10 / 1024)) $((low40 / 1024)) $((peak40 / 1024))

echo "targets:"
awk -v b="$batchMs" -v l="$loopMs" -v v="$vipsFastMs" -v p1="$peak1" -v l1="$low1" -v p40="$peak40" 'BEGIN {
  printf "  batch / loop, photos per minute:        1.25x or more   measured %.2fx   %s\n", l / b, (l / b >= 1.25) ? "met" : "missed"
  printf "  batch / libvips at its fastest:         3x or more      measured %.2fx   %s\n", v / b, (v / b >= 3) ? "met" : "missed"
  printf "  peak for 40 photographs / for one:      1.2x or less    measured %.2fx   %s (%.2fx against the lowest for one)\n",
    p40 / p1, (p40 <= 1.2 * p1) ? "met" : "missed", p40 / l1 }'
echo "  (load average now: $(cut -d' ' -f1-3 /proc/loadavg); figures on a busy machine are upper bounds)"
