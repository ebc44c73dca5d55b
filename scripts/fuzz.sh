#!/usr/bin/env bash
# Builds the libFuzzer targets (fuzz/) with the fuzz preset (clang, the main
# tree with LUMACUT_FUZZ on) and runs one of them, or all in turn, each for
# a bounded time, 60 seconds unless given:
#   scripts/fuzz.sh [SECONDS] [host|image|descriptor|all] [libFuzzer flags...]
# host (lumacut_fuzz) drives the plug-in through a host made of fuzz input;
# image (lumacut_image_fuzz) feeds image files to the host stand-in's reader;
# descriptor (lumacut_descriptor_fuzz) reads a saved step, prints it and
# reads it back, and runs the plug-in with it on a small document.
# Each runs as one job on one core. Not part of every CI run: CI replays the
# seed corpora kept in fuzz/ instead (the *_replay tests of native-asan).
# New inputs go to build/fuzz/<corpus>, not to the seed corpora (the image
# target also starts from the test images and the hostile files); a crash
# leaves its input in build/fuzz/findings, is named at the end, and makes
# the script fail. A finding goes into its seed corpus with its fix; to
# bring a grown corpus back to a minimal set that covers as much:
#   build/fuzz/bin/TARGET -merge=1 NEW_FOLDER build/fuzz/<corpus> fuzz/<corpus>
set -eu
cd "$(dirname "$0")/.."
seconds=60
if [ $# -gt 0 ] && [[ $1 =~ ^[0-9]+$ ]]; then seconds=$1; shift; fi
which=all
if [ $# -gt 0 ] && [[ $1 =~ ^(host|image|descriptor|all)$ ]]; then which=$1; shift; fi
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
cmake --build --preset fuzz -j2 --target lumacut_fuzz lumacut_image_fuzz lumacut_descriptor_fuzz
findings=$build/findings
mkdir -p "$findings"
started=$(mktemp)
trap 'rm -f "$started"' EXIT
export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1}

# run NAME PROGRAM CORPUS MAX_LEN [EXTRA SEED FOLDERS...] (and the script's flags)
failed=0
run() {
  local name=$1 program=$2 corpus=$3 maxlen=$4
  shift 4
  mkdir -p "$build/$corpus"
  echo "fuzz: $program, running for ${seconds} s"
  "$build/bin/$program" -max_total_time="$seconds" -max_len="$maxlen" -timeout=10 -rss_limit_mb=2560 \
    -print_final_stats=1 -artifact_prefix="$findings/$name-" "${flags[@]}" "$build/$corpus" "fuzz/$corpus" "$@" ||
    failed=1
}
flags=("$@")
if [[ $which =~ ^(host|all)$ ]]; then run host lumacut_fuzz corpus 512; fi
if [[ $which =~ ^(image|all)$ ]]; then
  run image lumacut_image_fuzz image-corpus 65536 tests/host/image/images tests/host/cli/hostile
fi
if [[ $which =~ ^(descriptor|all)$ ]]; then run descriptor lumacut_descriptor_fuzz descriptor-corpus 4096; fi

found=$(find "$findings" -type f -newer "$started" | sort)
if [ -n "$found" ] || [ $failed -ne 0 ]; then
  echo "fuzz: FINDINGS in $findings:"
  echo "${found:-  (none saved: see the output above)}"
  exit 1
fi
echo "fuzz: no findings; new inputs are in $build/corpus, $build/image-corpus and $build/descriptor-corpus"
