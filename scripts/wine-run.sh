#!/usr/bin/env bash
# Runs a Windows program under 32-bit Wine for CMake and ctest: quiet, with a
# prefix of our own, no Mono or Gecko prompts, and a time limit (Wine's
# helper processes can otherwise keep a run alive).
set -u
export WINEDEBUG=${WINEDEBUG:--all}
export WINEARCH=win32
export WINEPREFIX=${WINEPREFIX:-${LUMACUT_WINEPREFIX:-$HOME/.cache/lumacut/wineprefix}}
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=}
# Where the kernel runs no 32-bit programs, qemu runs Wine (see
# scripts/enable-i386.sh); Wine needs the whole 32-bit address space then.
export QEMU_RESERVED_VA=${QEMU_RESERVED_VA:-0xffff0000}
mkdir -p "$(dirname "$WINEPREFIX")"
exec timeout --kill-after=10 "${LUMACUT_WINE_TIMEOUT:-900}" wine "$@"
