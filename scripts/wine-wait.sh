#!/usr/bin/env bash
# Waits, a minute at most, for the Wine server of each given prefix to end.
# Wine's helper processes (the desktop window among them) hold the display
# a few seconds after the last program; a virtual display ended under them
# has Xlib print "X connection to :99 broken" after a run that went well.
. "$(dirname "$0")/wine-facts.sh"
for prefix in "$@"; do
  [ -d "$prefix" ] || continue
  server=$(wine_server "$(prefix_machine "$prefix")")
  WINEPREFIX=$prefix timeout 60 "$server" -w >/dev/null 2>&1 || true
done
