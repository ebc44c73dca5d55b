#!/usr/bin/env bash
# The 32-bit module's Windows tests and its masks, inside the emulated
# machine (scripts/i386-machine.sh): every ctest entry of the win32 preset
# under 32-bit Wine on the machine's own virtual display, then the seven
# masks of the shipped photograph written into MASKS_DIR for
# `scripts/same-masks.sh win32=MASKS_DIR` to compare outside. Needs the
# win32 build made. Exit status: the tests' (1 when the masks could not be
# written), or the machine's 125.
#   scripts/win32-in-machine.sh MASKS_DIR
set -u
cd "$(dirname "$0")/.."
masks=${1:?usage: win32-in-machine.sh MASKS_DIR}
rm -rf "$masks"
exec scripts/i386-machine.sh scripts/wine-display.sh bash -c \
  "scripts/wine-tests.sh win32 \$(nproc); status=\$?
   echo '== win32: masks in the emulated machine' && scripts/same-masks.sh --write win32 \"$masks\" || status=1
   scripts/wine-wait.sh \$(. scripts/wine-facts.sh && wine_test_prefixes win32)
   exit \$status"
