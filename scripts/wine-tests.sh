#!/usr/bin/env bash
# Every ctest entry of a Windows preset under Wine, on the display the
# caller gives it: the prefix made first (scripts/wine-prefix.sh), so that
# the entries run in parallel do not race to make it. Used by
# scripts/test.sh and, inside the emulated machine, scripts/win32-in-machine.sh.
#   scripts/wine-tests.sh PRESET JOBS
set -u
cd "$(dirname "$0")/.."
echo "== $1: test under Wine"
scripts/wine-prefix.sh "build/$1/bin/entry_requests_test.exe" && ctest --preset "$1" -j"$2"
