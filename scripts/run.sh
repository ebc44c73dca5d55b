#!/usr/bin/env bash
# The main job: builds ZYT_Lumacut.8li and has our host stand-in load it
# under Wine and run it. Arguments go to lumacut-host (try --help).
set -eu
cd "$(dirname "$0")/.."
scripts/install-deps.sh
cmake --preset win32 >/dev/null
cmake --build --preset win32 -j"$(nproc)"
scripts/wine-prefix.sh
exec xvfb-run -a -s "-screen 0 1280x1024x24" scripts/wine-run.sh build/win32/bin/lumacut-host.exe "$@"
