#!/usr/bin/env bash
# Builds everything and runs every test: the product for 32-bit Windows
# under Wine (windows under Xvfb), the native build, and the native build
# under AddressSanitizer and UndefinedBehaviorSanitizer.
set -eu
cd "$(dirname "$0")/.."
scripts/install-deps.sh
jobs=$(nproc)
for preset in native native-asan win32; do
  echo "== $preset: configure and build"
  cmake --preset "$preset" >/dev/null
  cmake --build --preset "$preset" -j"$jobs"
done
for preset in native native-asan; do
  echo "== $preset: test"
  ctest --preset "$preset" -j"$jobs"
done
echo "== win32: test under Wine"
scripts/wine-prefix.sh
xvfb-run -a -s "-screen 0 1280x1024x24" ctest --preset win32 -j"$jobs"
