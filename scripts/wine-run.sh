#!/usr/bin/env bash
# Runs a Windows program under Wine for CMake and ctest: quiet, with a
# prefix of our own, no Mono or Gecko prompts, and a time limit (Wine's
# helper processes can otherwise keep a run alive). 64-bit programs go to
# wine64; 32-bit ones need a kernel that runs 32-bit programs.
set -u
here=$(cd "$(dirname "$0")" && pwd)
. "$here/wine-facts.sh"
export WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=}
program=${1:?usage: wine-run.sh PROGRAM [ARGS...]}

# Runs Wine with the time limit. With LUMACUT_WINE_WAIT=1 it then waits for
# the prefix's Wine server to end (wine-wait.sh says why), for a caller
# whose virtual display ends with this run.
run_wine() {
  if [ "${LUMACUT_WINE_WAIT:-0}" != 1 ]; then
    exec timeout --kill-after=10 "${LUMACUT_WINE_TIMEOUT:-900}" "$@"
  fi
  timeout --kill-after=10 "${LUMACUT_WINE_TIMEOUT:-900}" "$@"
  local status=$?
  "$here/wine-wait.sh" "${WINEPREFIX:-$HOME/.wine}"
  exit $status
}

machine=$(pe_machine "$program")
# Not a PE file (a Windows program Wine finds by name): Wine decides.
[ -n "$machine" ] || run_wine wine "$@"
export WINEPREFIX
WINEPREFIX=$(wine_prefix "$machine")
mkdir -p "$(dirname "$WINEPREFIX")"
if [ "$machine" = "$PE_MACHINE_AMD64" ]; then
  run_wine "$(wine_loader "$machine")" "$@"
fi
if ! "$here/can-run-i386.sh"; then
  echo "wine-run.sh: this machine's kernel runs no 32-bit programs, so 32-bit Wine cannot start $program." >&2
  echo "wine-run.sh: run the Windows tests on the 64-bit twin instead: cmake --preset win64 (scripts/test.sh does)." >&2
  exit 77
fi
export WINEARCH=win32
run_wine "$(wine_loader "$machine")" "$@"
