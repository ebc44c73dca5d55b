# What the shell tests of the package share (sourced): one line a check,
# and the tally that is the test's exit status.
failures=0
checks=0
check() {  # check DESCRIPTION COMMAND...
  checks=$((checks + 1))
  if "${@:2}"; then echo "ok: $1"; else echo "FAILED: $1"; failures=$((failures + 1)); fi
}
tally() {
  echo "$((checks - failures)) passed, $failures failed"
  [ "$failures" = 0 ]
}
# 77 (skipped) while a Windows build has not made its module yet.
require_modules() {  # require_modules MODULE...
  for module in "$@"; do
    [ -f "$module" ] || { echo "no module at $module: build the win32 and win64 presets first; skipped"; exit 77; }
  done
}
