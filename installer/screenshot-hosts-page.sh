#!/usr/bin/env bash
# A picture of the setup program's host page, as Wine draws it on a virtual
# display, with two fake hosts registered (one in each registry view).
#   installer/screenshot-hosts-page.sh SETUP.exe OUTPUT.png
# Runs in a 64-bit prefix of its own beside SETUP.exe (or in
# LUMACUT_SETUP_SCREENSHOT_PREFIX): the setup program is an x64 program
# whichever Windows build this machine tests.
set -eu
. "$(dirname "$0")/../scripts/wine-facts.sh"
export wine64 server64
wine64=$(wine_loader "$PE_MACHINE_AMD64")
server64=$(wine_server "$PE_MACHINE_AMD64")
setup=$(cd "$(dirname "$1")" && echo "$(pwd)/$(basename "$1")")
output=$2
export WINEPREFIX=${LUMACUT_SETUP_SCREENSHOT_PREFIX:-$(dirname "$setup")/setup-screenshot-prefix}
export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" LC_ALL=C.UTF-8
wine() { timeout --kill-after=5 300 "$wine64" "$@"; }
undecorated_prefix "$wine64"
drive=$WINEPREFIX/drive_c
mkdir -p "$drive/Program Files/Adobe/Adobe Photoshop 2024/Plug-ins" \
         "$drive/Program Files (x86)/Adobe/Adobe Photoshop CS2/Plug-Ins"
wine reg add 'HKLM\SOFTWARE\Adobe\Photoshop\25.0' /v ApplicationPath /t REG_SZ \
  /d 'C:\Program Files\Adobe\Adobe Photoshop 2024\' /f /reg:64 >/dev/null 2>&1
wine reg add 'HKLM\SOFTWARE\Adobe\Photoshop\9.0' /v ApplicationPath /t REG_SZ \
  /d 'C:\Program Files (x86)\Adobe\Adobe Photoshop CS2\' /f /reg:32 >/dev/null 2>&1
timeout 120 "$server64" -w || true

mkdir -p "$(dirname "$output")"
title="ZYT_Lumacut $(cmake -P "$(dirname "$0")/../cmake/Version.cmake") Setup"  # the window to photograph
export setup output title
xvfb-run -a -s "-screen 0 1024x768x24" bash -c '
  "$wine64" "$setup" & setup_pid=$!
  for _ in $(seq 120); do
    xwininfo -name "$title" >/dev/null 2>&1 && break
    sleep 0.5
  done
  sleep 2  # let the page finish drawing
  geometry=$(xwininfo -name "$title" | awk "/Absolute upper-left X/ {x=\$NF} /Absolute upper-left Y/ {y=\$NF}
    /Width:/ {w=\$NF} /Height:/ {h=\$NF} END {print w \"x\" h \"+\" x \"+\" y}")
  status=0
  import -window root -crop "$geometry" +repage "$output" || status=1
  kill "$setup_pid" 2>/dev/null
  timeout 30 "$server64" -k 2>/dev/null
  exit $status'
echo "screenshot-hosts-page.sh: wrote $output"
