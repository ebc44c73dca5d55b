#!/usr/bin/env bash
# Prints the Windows build whose programs this machine can run under Wine:
# win32 (the product itself) where the kernel runs 32-bit programs, else
# win64, the x64 module.
here=$(cd "$(dirname "$0")" && pwd)
if "$here/can-run-i386.sh"; then echo win32; else echo win64; fi
