#!/usr/bin/env bash
# The release zip holds exactly what a photographer needs, and its two
# modules are byte for byte the ones the tests ran on, stripped.
set -u
top=$1
module32=$2
module64=$3
for module in "$module32" "$module64"; do
  [ -f "$module" ] || { echo "no module at $module: build the win32 and win64 presets first; skipped"; exit 77; }
done
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0
checks=0
check() {  # check DESCRIPTION COMMAND...
  checks=$((checks + 1))
  if "${@:2}"; then echo "ok: $1"; else echo "FAILED: $1"; failures=$((failures + 1)); fi
}
"$top/scripts/package.sh" "$module32" "$module64" "$work/release.zip" >/dev/null || { echo "FAILED: package.sh"; exit 1; }
(cd "$work" && unzip -q release.zip)
dir=$work/ZYT_Lumacut-0.1
expected="32-bit/ZYT_Lumacut.8li 64-bit/ZYT_Lumacut.8li INSTALL.txt LICENSE.txt SHA256SUMS.txt VERSION.txt licenses/gcc-runtime.txt licenses/mingw-w64-runtime.txt"
actual=$(cd "$dir" && find . -type f | sed 's|^\./||' | LC_ALL=C sort | tr '\n' ' ' | sed 's/ $//')
check "the zip holds exactly: $expected" test "$actual" = "$expected"
check "the 32-bit module inside is the tested one" cmp -s "$dir/32-bit/ZYT_Lumacut.8li" "$module32"
check "the x64 module inside is the tested one" cmp -s "$dir/64-bit/ZYT_Lumacut.8li" "$module64"
check "each module is for its host" sh -c "objdump -f '$dir/32-bit/ZYT_Lumacut.8li' | grep -q pei-i386 && objdump -f '$dir/64-bit/ZYT_Lumacut.8li' | grep -q pei-x86-64"
check "the modules carry no debug information" sh -c "! objdump -h '$dir/32-bit/ZYT_Lumacut.8li' '$dir/64-bit/ZYT_Lumacut.8li' | grep -q debug_"
check "the checksum file has a line for each module and matches" sh -c "cd '$dir' && test \$(wc -l < SHA256SUMS.txt) = 2 && sha256sum -c --quiet SHA256SUMS.txt"
check "the version is the About text's" grep -q "Version 0.1 Release (12/2004)" "$dir/VERSION.txt"
check "the guide names the plug-ins folder" grep -q "Plug-Ins" "$dir/INSTALL.txt"
check "the guide names File > Automate" grep -q "File > Automate > ZYT_Lumacut" "$dir/INSTALL.txt"
check "the guide says which module goes into which host" sh -c "grep -q '32-bit' '$dir/INSTALL.txt' && grep -q '64-bit' '$dir/INSTALL.txt'"
check "the guide explains recording an action" grep -qi "record" "$dir/INSTALL.txt"
check "the runtime notices are not empty" test -s "$dir/licenses/gcc-runtime.txt" -a -s "$dir/licenses/mingw-w64-runtime.txt"
check "a failed packaging leaves no zip behind" sh -c "! '$top/scripts/package.sh' '$module32' '$work/missing.8li' '$work/none.zip' 2>/dev/null && test ! -e '$work/none.zip' -a ! -e '$work/none.zip.partial'"
# The build keeps each module's symbols beside it; such a file is never packed.
check "the symbols stay beside the build, not packed" sh -c "objdump -h '$module64.debug' | grep -q debug_ && ! '$top/scripts/package.sh' '$module32' '$module64.debug' '$work/none.zip' 2>/dev/null"
echo "$((checks - failures)) passed, $failures failed"
[ "$failures" = 0 ]
