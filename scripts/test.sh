#!/usr/bin/env bash
# Builds everything and runs every test: the native build, the native build
# under AddressSanitizer and UndefinedBehaviorSanitizer, and both shipped
# Windows modules, 32-bit and x64. The native tests check both modules'
# tables and resources as files. Under Wine (windows under Xvfb) the x64
# build's tests always run; the 32-bit build's run too where the kernel runs
# 32-bit programs. Last, the main job's masks are compared across modules.
set -eu
cd "$(dirname "$0")/.."
scripts/install-deps.sh
jobs=$(nproc)
for preset in win32 win64 native native-asan; do
  echo "== $preset: configure and build"
  cmake --preset "$preset" >/dev/null
  cmake --build --preset "$preset" -j"$jobs"
done
for preset in native native-asan; do
  echo "== $preset: test"
  ctest --preset "$preset" -j"$jobs"
done
windows=(win64)
if scripts/can-run-i386.sh; then
  windows=(win32 win64)
else
  echo "== note: this kernel runs no 32-bit programs; the Windows tests run on the x64 module only"
fi
# Prefix, tests and mask runs share one virtual display: Wine's desktop
# process lives as long as its server and keeps the display it was started
# with.
# The display ends only once Wine's servers have (scripts/wine-wait.sh).
steps=""
prefixes=""
for preset in "${windows[@]}"; do
  steps="$steps echo '== $preset: test under Wine' && scripts/wine-prefix.sh build/$preset/bin/entry_requests_test.exe && ctest --preset $preset -j$jobs &&"
  prefixes="$prefixes build/$preset/tests/loadlog/loadlog-prefix"
done
prefixes="$prefixes $(. scripts/wine-facts.sh && echo "$(default_wine_prefix "$PE_MACHINE_AMD64") $(default_wine_prefix "$PE_MACHINE_I386")")"
xvfb-run -a -s "-screen 0 1280x1024x24" bash -c \
  "$steps echo '== masks of every module' && scripts/same-masks.sh; status=\$?; scripts/wine-wait.sh $prefixes; exit \$status"
