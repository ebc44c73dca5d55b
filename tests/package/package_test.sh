#!/usr/bin/env bash
# The release zip holds exactly what a photographer needs, and its module is
# byte for byte the one the tests ran on.
set -u
top=$1
module=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0
check() {  # check DESCRIPTION COMMAND...
  if "${@:2}"; then echo "ok: $1"; else echo "FAILED: $1"; failures=$((failures + 1)); fi
}
"$top/scripts/package.sh" "$module" "$work/release.zip" >/dev/null || { echo "FAILED: package.sh"; exit 1; }
(cd "$work" && unzip -q release.zip)
dir=$work/ZYT_Lumacut-0.1
expected="INSTALL.txt LICENSE.txt SHA256SUMS.txt VERSION.txt ZYT_Lumacut.8li licenses/gcc-runtime.txt licenses/mingw-w64-runtime.txt"
actual=$(cd "$dir" && find . -type f | sed 's|^\./||' | sort | tr '\n' ' ' | sed 's/ $//')
check "the zip holds exactly: $expected" test "$actual" = "$expected"
check "the module inside is the tested one" cmp -s "$dir/ZYT_Lumacut.8li" "$module"
check "the checksum file matches the module" sh -c "cd '$dir' && sha256sum -c --quiet SHA256SUMS.txt"
check "the version is the About text's" grep -q "Version 0.1 Release (12/2004)" "$dir/VERSION.txt"
check "the guide names the plug-ins folder" grep -q "Plug-Ins" "$dir/INSTALL.txt"
check "the guide names File > Automate" grep -q "File > Automate > ZYT_Lumacut" "$dir/INSTALL.txt"
check "the guide explains recording an action" grep -qi "record" "$dir/INSTALL.txt"
check "the runtime notices are not empty" test -s "$dir/licenses/gcc-runtime.txt" -a -s "$dir/licenses/mingw-w64-runtime.txt"
check "a failed packaging leaves no zip behind" sh -c "! '$top/scripts/package.sh' '$work/missing.8li' '$work/none.zip' 2>/dev/null && test ! -e '$work/none.zip' -a ! -e '$work/none.zip.partial'"
echo "$((9 - failures)) passed, $failures failed"
[ "$failures" = 0 ]
