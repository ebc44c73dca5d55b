#!/usr/bin/env bash
# Runs every native test program under Valgrind's memcheck: any invalid
# access, use of an uninitialised value or leak fails the run (the programs
# also load ZYT_Lumacut.so, which is checked with them). Builds the native
# preset first. scripts/valgrind.supp names the few reports that are not
# ours, each with its reason. Usage: scripts/valgrind.sh [BUILD_DIR]
set -eu
cd "$(dirname "$0")/.."
build=${1:-build/native}
if ! command -v valgrind >/dev/null; then
  apt-get update -qq
  DEBIAN_FRONTEND=noninteractive apt-get install -y -qq valgrind >/dev/null
fi
if [ "$build" = build/native ]; then
  cmake --preset native >/dev/null
else
  cmake --preset native -B "$build" >/dev/null
fi
cmake --build "$build" -j"$(nproc)"
module="$build/bin/ZYT_Lumacut.so"
log_dir="$build/valgrind"
mkdir -p "$log_dir"
# The soak's 10,000 requests take minutes under memcheck; a thousand show
# the same paths. Its memory figures are Valgrind's, so they are reported only.
export LUMACUT_SOAK_REQUESTS=${LUMACUT_SOAK_REQUESTS:-1000} LUMACUT_SOAK_MEMORY=report
failed=0
programs=0
# Each test as ctest would start it, its program under memcheck.
while IFS= read -r command; do
  eval "set -- $command"
  program=$1
  # Only our own programs: a script (the package check) is not ours to trace.
  [ "$(head -c 4 "$program" 2>/dev/null | od -An -c | tr -d ' ')" = '177ELF' ] || continue
  name=$(basename "$program")
  programs=$((programs + 1))
  log="$log_dir/$name.log"
  status=0
  valgrind --tool=memcheck --error-exitcode=99 --leak-check=full --errors-for-leak-kinds=definite,indirect \
    --track-origins=yes --keep-debuginfo=yes --suppressions=scripts/valgrind.supp --log-file="$log" \
    "$@" >"$log_dir/$name.out" 2>&1 || status=$?
  summary=$(grep -o 'ERROR SUMMARY: [0-9]* errors' "$log" | tail -1)
  if [ "$status" -eq 0 ]; then
    echo "valgrind: $name: $summary"
  elif [ "$status" -eq 99 ]; then
    echo "valgrind: $name: memcheck found errors: $summary (see $log)"
    grep -E 'Invalid|uninitialised|definitely lost|indirectly lost' "$log" | head -20 || true
    failed=$((failed + 1))
  else
    # Memcheck was content; the program itself failed (see its output).
    echo "valgrind: $name: $summary, but the program failed with status $status (see $log_dir/$name.out)"
    grep -E '^\[  FAILED  \]' "$log_dir/$name.out" | head -10 || true
    failed=$((failed + 1))
  fi
done < <(ctest --test-dir "$build" -N -V | sed -n 's/^[0-9]*: Test command: //p')
echo "valgrind: $programs programs, $failed failed"
[ "$programs" -gt 0 ] && [ "$failed" -eq 0 ]
