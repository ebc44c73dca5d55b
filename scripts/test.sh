#!/usr/bin/env bash
# Builds everything and runs every test: the native build, the native build
# under AddressSanitizer and UndefinedBehaviorSanitizer, and both shipped
# Windows modules, 32-bit and x64. The native tests check both modules'
# tables and resources as files. Under Wine (windows under Xvfb) both
# builds' tests run; where the kernel runs no 32-bit programs, the 32-bit
# build's run in an emulated machine (scripts/i386-machine.sh). Last, the
# main job's masks are compared across modules.
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
masks_from=()
machine_status=0
# LUMACUT_I386_MACHINE=1 takes the emulated machine even where the kernel
# runs 32-bit programs, to try that path on any machine.
if [ "${LUMACUT_I386_MACHINE:-0}" != 1 ] && scripts/can-run-i386.sh; then
  windows=(win32 win64)
else
  # 32-bit Wine cannot start here: the 32-bit module's tests and its masks
  # run in an emulated machine whose kernel runs 32-bit programs (several
  # minutes; the first time also builds that machine). It has a display of
  # its own.
  echo "== note: the 32-bit module's tests run in an emulated machine (scripts/i386-machine.sh): this kernel runs no 32-bit programs, or LUMACUT_I386_MACHINE=1"
  scripts/win32-in-machine.sh build/same-masks-win32 || machine_status=$?
  masks_from=(win32=build/same-masks-win32)
fi
# Prefix, tests and mask runs share one virtual display: Wine's desktop
# process lives as long as its server and keeps the display it was started
# with.
# The display ends only once Wine's servers have (scripts/wine-wait.sh).
. scripts/wine-facts.sh
steps=""
prefixes=""
for preset in "${windows[@]}"; do
  steps="$steps scripts/wine-tests.sh $preset $jobs &&"
  prefixes="$prefixes $(wine_test_prefixes "$preset")"
done
scripts/wine-display.sh bash -c \
  "$steps echo '== masks of every module' && scripts/same-masks.sh ${masks_from[*]}; status=\$?; scripts/wine-wait.sh $prefixes; exit \$status"
if [ "$machine_status" != 0 ]; then
  echo "== win32: the run in the emulated machine failed (exit status $machine_status; its output is above)" >&2
  exit 1
fi
