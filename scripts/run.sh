#!/usr/bin/env bash
# The main job: builds ZYT_Lumacut.8li and has our host stand-in load it
# under Wine and run it. Arguments go to lumacut-host (try --help). Where
# the kernel runs no 32-bit programs, the x64 module runs.
# Without arguments: every mode's mask of the shipped photograph, the
# contact sheet of them all, and the response chart of the modes, into out/.
set -eu
cd "$(dirname "$0")/.."
chart=no
if [ $# -eq 0 ]; then
  set -- run --all samples/rocket.jpg --out out
  chart=yes
fi
scripts/install-deps.sh
windows=$(scripts/windows-preset.sh)
cmake --preset win32 >/dev/null
cmake --build --preset win32 -j"$(nproc)" >/dev/null
if [ "$windows" = win64 ]; then
  echo "run.sh: this kernel runs no 32-bit programs; running the x64 ZYT_Lumacut.8li" >&2
  cmake --preset win64 >/dev/null
  cmake --build --preset win64 -j"$(nproc)" >/dev/null
fi
# On a desktop the dialogs (--about, --dialog) appear for you to click;
# without a display the program runs on a virtual one, where a dialog
# waits in vain: use scripts/screenshots.sh to see them there.
# The virtual display must outlive Wine's helper processes (wine-run.sh
# waits for them), or its end is reported as a broken X connection.
host() {
  export LUMACUT_WINE_WAIT=1
  if [ -n "${DISPLAY:-}" ]; then
    scripts/wine-run.sh "build/$windows/bin/lumacut-host.exe" "$@"
  else
    scripts/wine-display.sh scripts/wine-run.sh "build/$windows/bin/lumacut-host.exe" "$@"
  fi
}
host "$@"
if [ "$chart" = yes ]; then
  host chart --out out
fi
