#!/usr/bin/env bash
# The release zip holds exactly what a photographer needs, and its two
# modules are byte for byte the ones the tests ran on, stripped. A second
# clean build of the same sources, in another folder and later, gives the
# same modules, zip and setup program, as scripts/verify-release.sh proves.
#   package_test.sh SOURCE_DIR MODULE32 MODULE64 FRESH_BUILD_DIR
set -u
top=$1
module32=$2
module64=$3
fresh=$4
. "$top/tests/support/checks.sh"
require_modules "$module32" "$module64"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
notice=$("$top/scripts/package.sh" "$module32" "$module64" "$work/release.zip" "$work/setup.exe" | grep -ci "not signed") ||
  { echo "FAILED: package.sh"; exit 1; }
check "without a certificate it says so, once" test "$notice" = 1
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

echo "== a second clean build, in another folder and later"
rm -rf "$fresh"
start=$(date +%s)
verified=$("$top/scripts/verify-release.sh" --working-tree --build-dir "$fresh" "$work/release.zip" 2>&1)
status=$?
echo "$verified"
echo "(rebuilding both modules took $(($(date +%s) - start)) s)"
check "verify-release.sh finds both modules the same as the fresh build's" \
  test $status = 0 -a "$(grep -c ': same bytes as the rebuild' <<< "$verified")" = 2
"$top/scripts/package.sh" "$fresh/win32/bin/ZYT_Lumacut.8li" "$fresh/win64/bin/ZYT_Lumacut.8li" \
  "$work/again.zip" "$work/again-setup.exe" >/dev/null
echo "first build                                                        second build"
for file in 32-bit/ZYT_Lumacut.8li 64-bit/ZYT_Lumacut.8li; do
  echo "$(sha256sum < "$dir/$file" | cut -c1-64) $(sha256sum < "$fresh/rebuilt/$file" | cut -c1-64) $file"
done
for file in release.zip:again.zip setup.exe:again-setup.exe; do
  echo "$(sha256sum < "$work/${file%:*}" | cut -c1-64) $(sha256sum < "$work/${file#*:}" | cut -c1-64) ${file%:*}"
done
check "the zip is the same bytes" cmp -s "$work/release.zip" "$work/again.zip"
check "the setup program is the same bytes" cmp -s "$work/setup.exe" "$work/again-setup.exe"
linked=$(objdump -p "$module64" | sed -n 's|^Time/Date[[:space:]]*||p' | head -1)
check "the module's link time is the last commit's ($linked)" \
  test "$linked" = "$(date -d "@$("$top/scripts/commit-time.sh")" '+%a %b %e %H:%M:%S %Y')"

# A release whose 64-bit module was altered and its sum rewritten to match,
# and whose 32-bit module was damaged after its sum was written.
(cd "$dir" && printf 'X' | dd of=64-bit/ZYT_Lumacut.8li bs=1 seek=4096 conv=notrunc 2>/dev/null &&
  sha256sum 32-bit/ZYT_Lumacut.8li 64-bit/ZYT_Lumacut.8li > SHA256SUMS.txt &&
  printf 'X' | dd of=32-bit/ZYT_Lumacut.8li bs=1 seek=4096 conv=notrunc 2>/dev/null &&
  cd .. && zip -qr "$work/altered.zip" ZYT_Lumacut-0.1)
compared=$("$top/scripts/compare-release.sh" "$work/altered.zip" "$fresh/rebuilt")
status=$?
check "an altered release fails" test $status != 0
check "its altered module is named" grep -q "^64-bit/ZYT_Lumacut.8li: DIFFERS from the rebuild" <<< "$compared"
check "its damaged module is named" grep -q "^32-bit/ZYT_Lumacut.8li: DIFFERS from its line in SHA256SUMS.txt" <<< "$compared"
tally
