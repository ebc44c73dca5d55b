#!/usr/bin/env bash
# Makes the Wine prefix of the given Windows build (win32 or win64) once,
# before tests start in parallel: a new prefix takes a while to set up.
set -eu
here=$(cd "$(dirname "$0")" && pwd)
program=${1:?usage: wine-prefix.sh A-WINDOWS-PROGRAM-OF-THAT-BUILD}
LUMACUT_WINE_TIMEOUT=600 "$here/wine-run.sh" "$program" --gtest_list_tests >/dev/null 2>&1 || true
