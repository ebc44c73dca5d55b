#!/usr/bin/env bash
# Builds everything and runs every test: the native build, the native build
# under AddressSanitizer and UndefinedBehaviorSanitizer, and the Windows
# build under Wine (windows under Xvfb). The product, ZYT_Lumacut.8li, is
# always built; its tables and resources are checked by the native tests.
# Its Windows behaviour runs under 32-bit Wine where the kernel runs 32-bit
# programs, and on its 64-bit twin under 64-bit Wine where it does not.
set -eu
cd "$(dirname "$0")/.."
scripts/install-deps.sh
jobs=$(nproc)
windows=$(scripts/windows-preset.sh)
presets=(win32 native native-asan)
[ "$windows" = win64 ] && presets=(win32 win64 native native-asan)
for preset in "${presets[@]}"; do
  echo "== $preset: configure and build"
  cmake --preset "$preset" >/dev/null
  cmake --build --preset "$preset" -j"$jobs"
done
for preset in native native-asan; do
  echo "== $preset: test"
  ctest --preset "$preset" -j"$jobs"
done
if [ "$windows" = win64 ]; then
  echo "== note: this kernel runs no 32-bit programs; the Windows tests run on the 64-bit twin"
fi
echo "== $windows: test under Wine"
# Prefix and tests share one virtual display: Wine's desktop process lives
# as long as its server and keeps the display it was started with.
xvfb-run -a -s "-screen 0 1280x1024x24" bash -c \
  "scripts/wine-prefix.sh build/$windows/bin/entry_requests_test.exe && ctest --preset $windows -j$jobs"
