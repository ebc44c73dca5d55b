#!/usr/bin/env bash
# Runs a command on a virtual display (Xvfb), the one kind our Wine runs
# share: tests, mask runs and screenshots. Wine's desktop process keeps the
# display it was started with, so one run's programs share one display.
#   scripts/wine-display.sh COMMAND...
exec xvfb-run -a -s "-screen 0 1280x1024x24" "$@"
