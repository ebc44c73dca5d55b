#!/usr/bin/env bash
# Makes the Wine prefix of the given Windows build (win32 or win64) once,
# before tests start in parallel: a new prefix takes a while to set up.
set -eu
here=$(cd "$(dirname "$0")" && pwd)
. "$here/wine-facts.sh"
program=${1:?usage: wine-prefix.sh A-WINDOWS-PROGRAM-OF-THAT-BUILD}
machine=$(pe_machine "$program")
prefix=$(wine_prefix "$machine")
server=$(wine_server "$machine")
# A server left from an earlier run keeps the display it was started with;
# end it so that this run's windows go to this run's display.
if [ -d "$prefix" ]; then WINEPREFIX=$prefix timeout 30 "$server" -k >/dev/null 2>&1 || true; fi
LUMACUT_WINE_TIMEOUT=600 "$here/wine-run.sh" "$program" --gtest_list_tests >/dev/null 2>&1 || true

# The tests' display (Xvfb) runs no window manager, so Wine must place and
# draw every window itself ("Managed"="N"): a window left to a window
# manager that is not there costs two seconds each time it is hidden, which
# the dialog tests would pay for every dialog they open.
"$here/wine-run.sh" "$prefix/drive_c/windows/system32/reg.exe" add 'HKCU\Software\Wine\X11 Driver' \
  /v Managed /t REG_SZ /d N /f >/dev/null 2>&1 || true
# A new prefix is still being filled (the user folders, Temp among them)
# after its first program has returned: tests started meanwhile find no
# temporary folder, as slow machines show. Wait until Wine is done with it.
WINEPREFIX=$prefix timeout 600 "$server" -w >/dev/null 2>&1 || true
