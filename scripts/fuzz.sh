#!/usr/bin/env bash
# Builds the libFuzzer targets (fuzz/) with the fuzz preset (clang, the main
# tree with LUMACUT_FUZZ on) and runs each for a bounded
# time, 60 seconds unless given: scripts/fuzz.sh [SECONDS] [libFuzzer flags...]
# lumacut_fuzz drives the plug-in through a host made of fuzz input;
# lumacut_image_fuzz feeds image files to the host stand-in's reader.
# Not part of every CI run. New inputs they find go to build/fuzz/corpus and
# build/fuzz/image-corpus, not to the small seed corpora kept in fuzz/ (the
# image target also starts from the test images and the hostile files); a
# crash leaves its input in build/fuzz/findings and makes the script fail.
set -eu
cd "$(dirname "$0")/.."
seconds=${1:-60}
[ $# -gt 0 ] && shift
missing=()
for p in clang libclang-rt-14-dev cmake make; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "fuzz: installing ${missing[*]}"
  apt-get update -qq
  DEBIAN_FRONTEND=noninteractive apt-get install -y -qq "${missing[@]}" >/dev/null
fi
build=build/fuzz
# A folder the fuzz build made of old, from fuzz/ alone, is configured anew
# (its corpora stay).
if [ -f "$build/CMakeCache.txt" ] && ! grep -qx "CMAKE_HOME_DIRECTORY:INTERNAL=$PWD" "$build/CMakeCache.txt"; then
  rm -rf "$build/CMakeCache.txt" "$build/CMakeFiles"
fi
cmake --preset fuzz >/dev/null
cmake --build --preset fuzz -j2
mkdir -p "$build/corpus" "$build/image-corpus" "$build/findings"
export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1}
echo "fuzz: lumacut_fuzz, running for ${seconds} s"
"$build/bin/lumacut_fuzz" -max_total_time="$seconds" -max_len=512 -timeout=10 -print_final_stats=1 \
  -artifact_prefix="$build/findings/" "$@" "$build/corpus" fuzz/corpus
echo "fuzz: lumacut_image_fuzz, running for ${seconds} s"
"$build/bin/lumacut_image_fuzz" -max_total_time="$seconds" -max_len=65536 -timeout=10 -rss_limit_mb=2560 \
  -print_final_stats=1 -artifact_prefix="$build/findings/image-" "$@" "$build/image-corpus" fuzz/image-corpus \
  tests/host/image/images tests/host/cli/hostile
