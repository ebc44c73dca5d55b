#!/usr/bin/env bash
# Makes the Wine prefix the tests share, once, before tests start in
# parallel (first start takes a while, much longer under qemu).
set -eu
here=$(cd "$(dirname "$0")" && pwd)
LUMACUT_WINE_TIMEOUT=1500 "$here/wine-run.sh" wineboot --init >/dev/null 2>&1 || true
WINEPREFIX=${WINEPREFIX:-${LUMACUT_WINEPREFIX:-$HOME/.cache/lumacut/wineprefix}} timeout 120 wineserver -w || true
