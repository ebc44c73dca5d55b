#!/usr/bin/env bash
# Every time a release embeds (the modules' link times, the zip's and the
# setup program's file times) is the last commit's, so that two builds of
# one commit give the same bytes wherever and whenever they run. A
# SOURCE_DATE_EPOCH already set wins (a source tree without its history
# gets it from scripts/verify-release.sh); without either, the time is 0.
#   scripts/commit-time.sh                the time, in seconds since 1970
#   scripts/commit-time.sh --stamp FILE   write it into FILE when it differs, so a new commit relinks
#   scripts/commit-time.sh COMMAND...     run COMMAND with SOURCE_DATE_EPOCH set to it
set -eu
top=$(cd "$(dirname "$0")/.." && pwd)
if [ -z "${SOURCE_DATE_EPOCH:-}" ]; then
  SOURCE_DATE_EPOCH=$(git -C "$top" log -1 --format=%ct 2>/dev/null || true)
  SOURCE_DATE_EPOCH=${SOURCE_DATE_EPOCH:-0}
fi
export SOURCE_DATE_EPOCH
if [ $# -eq 0 ]; then
  echo "$SOURCE_DATE_EPOCH"
elif [ "$1" = --stamp ]; then
  [ "$(cat "$2" 2>/dev/null)" = "$SOURCE_DATE_EPOCH" ] || echo "$SOURCE_DATE_EPOCH" > "$2"
else
  exec "$@"
fi
