#!/usr/bin/env bash
# The setup program under 64-bit Wine, end to end: it finds the fake hosts
# registered in both registry views, puts the module each one loads into
# its plug-ins folder, registers one uninstall entry, and its uninstaller
# leaves the plug-ins folders as they were. One prefix, kept in the build
# tree between runs (making one takes seconds), serves every case; each
# case starts from a reset registry and fresh host folders.
#   installer_test.sh SOURCE_DIR MODULE32 MODULE64 WORK_DIR
set -u
top=$1
module32=$2
module64=$3
work=$4
. "$top/scripts/wine-facts.sh"
wine64=$(wine_loader "$PE_MACHINE_AMD64")
server64=$(wine_server "$PE_MACHINE_AMD64")
if ! command -v makensis >/dev/null || [ ! -x "$wine64" ]; then
  echo "skipped: makensis or 64-bit Wine is not installed (scripts/install-deps.sh)"; exit 77
fi
if [ ! -f "$module32" ] || [ ! -f "$module64" ]; then
  echo "skipped: build both modules first (presets win32 and win64)"; exit 77
fi
mkdir -p "$work"
setup=$work/ZYT_Lumacut-setup.exe
"$top/installer/build-setup.sh" "$module32" "$module64" "$setup" >/dev/null || { echo "FAILED: build-setup.sh"; exit 1; }

export WINEPREFIX=$work/wineprefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
# Wine hands Windows programs their arguments decoded in the Unix locale;
# the non-ASCII host folder must arrive intact.
export LC_ALL=C.UTF-8
wine() { timeout --kill-after=5 120 "$wine64" "$@"; }
# One server for all the calls below instead of one each; ended at exit.
timeout 120 "$server64" -p >/dev/null 2>&1
trap 'timeout 30 "$server64" -k >/dev/null 2>&1' EXIT
# The batch files below go into the prefix's drive C, which the first run makes.
[ -d "$WINEPREFIX/drive_c/windows" ] || wine wineboot >/dev/null 2>&1

failures=0
passed=0
check() {  # check DESCRIPTION COMMAND...
  if "${@:2}"; then echo "ok: $1"; passed=$((passed + 1)); else echo "FAILED: $1"; failures=$((failures + 1)); fi
}

drive=$WINEPREFIX/drive_c
host64_dir="$drive/Program Files/Adobe/Adobe Photoshop 2024"
host32_dir="$drive/Program Files (x86)/Adobe/Photoshop CS2 Édition Ørsted"
plugins64="$host64_dir/Plug-ins"
plugins32="$host32_dir/Plug-Ins"
instdir="$drive/Program Files/ZYT/Lumacut"
uninstall_key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\ZYT_Lumacut'

# Batch files run several commands in one Wine start, and pass arguments
# exactly as written.
printf '%s\r\n' "@reg delete HKLM\\SOFTWARE\\Adobe /f /reg:64 >nul 2>&1" \
  "@reg delete HKLM\\SOFTWARE\\Adobe /f /reg:32 >nul 2>&1" \
  "@reg delete $uninstall_key /f /reg:64 >nul 2>&1" > "$drive/reset-zyt.cmd"
reset() {  # no hosts, no install, no host folders
  wine cmd /c 'C:\reset-zyt.cmd'
  rm -rf "$drive/Program Files/Adobe" "$drive/Program Files (x86)/Adobe" "$drive/Program Files/ZYT"
}
add_hosts() {  # a 64-bit and a 32-bit host, each with a plug-in that is not ours
  mkdir -p "$plugins64/Filters" "$plugins32/ZYT"
  echo "another vendor's filter" > "$plugins64/Filters/Other.8bf"
  echo "another ZYT plug-in" > "$plugins32/ZYT/Other.8li"
  wine reg add 'HKLM\SOFTWARE\Adobe\Photoshop\180.0' /v ApplicationPath /t REG_SZ \
    /d 'C:\Program Files\Adobe\Adobe Photoshop 2024\' /f /reg:64 >/dev/null 2>&1
  wine reg add 'HKLM\SOFTWARE\Adobe\Photoshop\9.0' /v ApplicationPath /t REG_SZ \
    /d 'C:\Program Files (x86)\Adobe\Photoshop CS2 Édition Ørsted\' /f /reg:32 >/dev/null 2>&1
}
snapshot() {  # every path and file checksum below both plug-ins folders
  (cd "$host64_dir" && find . | sort && find . -type f -exec sha256sum {} + | sort)
  (cd "$host32_dir" && find . | sort && find . -type f -exec sha256sum {} + | sort)
}
is_module() {  # is_module FILE MACHINE BUILT_MODULE
  [ -f "$1" ] && [ "$(pe_machine "$1")" = "$2" ] &&
    [ "$(sha256sum < "$1")" = "$(sha256sum < "$3")" ]
}
read_entry() { entry=$(wine reg query "$uninstall_key" /reg:64 2>/dev/null | tr -d '\r'); }
entry_value() {  # the data of one value of the uninstall entry last read
  sed -n "s/^ *$1 *REG_[A-Z_]* *//p" <<< "$entry"
}
entry_count() {  # uninstall entries named ZYT_Lumacut, in either view
  for view in 64 32; do
    wine reg query 'HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall' /s /reg:$view 2>/dev/null |
      tr -d '\r' | grep -c 'DisplayName *REG_SZ *ZYT_Lumacut$'
  done | awk '{ total += $1 } END { print total + 0 }'
}
listed() {  # the uninstaller's file list, sorted
  iconv -f UTF-16 -t UTF-8 "$instdir/installed-files.txt" | tr -d '\r' | sort
}
lines() { printf '%s\n' "$@" | sort; }
module64_line='F C:\Program Files\Adobe\Adobe Photoshop 2024\Plug-ins\ZYT\ZYT_Lumacut.8li'
folder64_line='D C:\Program Files\Adobe\Adobe Photoshop 2024\Plug-ins\ZYT'
module32_line='F C:\Program Files (x86)\Adobe\Photoshop CS2 Édition Ørsted\Plug-Ins\ZYT\ZYT_Lumacut.8li'
# The uninstaller runs synchronously only when told where it is installed
# by a last argument _?=DIR, unquoted even with spaces (otherwise it copies
# itself to the temporary folder, starts the copy and returns at once).
# Wine would quote that argument, so a batch file passes it as written.
printf '%s\r\n' '@"C:\Program Files\ZYT\Lumacut\uninstall.exe" /S _?=C:\Program Files\ZYT\Lumacut' \
  '@exit /b %errorlevel%' > "$drive/uninstall-zyt.cmd"
uninstall() {
  wine cmd /c 'C:\uninstall-zyt.cmd'
}

echo "== two hosts, one in each registry view"
reset
add_hosts
before=$(snapshot)
wine "$setup" /S
check "/S succeeds" test $? = 0
check "the 64-bit host gets the x64 module in its Plug-ins folder" is_module "$plugins64/ZYT/ZYT_Lumacut.8li" "$PE_MACHINE_AMD64" "$module64"
check "the 32-bit host gets the 32-bit module in its Plug-Ins folder" is_module "$plugins32/ZYT/ZYT_Lumacut.8li" "$PE_MACHINE_I386" "$module32"
check "no second plug-ins folder is made beside the existing one" \
  test "$(ls "$host64_dir")" = Plug-ins -a "$(ls "$host32_dir")" = Plug-Ins
read_entry
check "the entry names the product, version and publisher" \
  test "$(entry_value DisplayName)/$(entry_value DisplayVersion)/$(entry_value Publisher)" = ZYT_Lumacut/0.1/ZYT
check "the entry has both uninstall commands" \
  test "$(entry_value UninstallString)|$(entry_value QuietUninstallString)" = \
  '"C:\Program Files\ZYT\Lumacut\uninstall.exe"|"C:\Program Files\ZYT\Lumacut\uninstall.exe" /S'
size=$(entry_value EstimatedSize)
modules_kb=$(( ($(stat -c %s "$module32") + $(stat -c %s "$module64")) / 1024 ))
check "the entry's size covers both modules ($size KB)" test "$((size))" -ge "$modules_kb"
check "the file list holds the two modules and the one ZYT folder made" \
  test "$(listed)" = "$(lines "$module64_line" "$folder64_line" "$module32_line")"
uninstall
check "the uninstaller /S succeeds" test $? = 0
check "the uninstaller leaves the plug-ins folders as before the install" test "$(snapshot)" = "$before"
check "the uninstaller removes its entry" test "$(entry_count)" = 0

echo "== reinstall over an earlier install"
reset
add_hosts
before=$(snapshot)
wine "$setup" /S
echo "an earlier version" > "$plugins64/ZYT/ZYT_Lumacut.8li"
echo "an earlier version" > "$plugins32/ZYT/ZYT_Lumacut.8li"
wine "$setup" /S
check "the second /S succeeds" test $? = 0
check "it replaces the x64 module" is_module "$plugins64/ZYT/ZYT_Lumacut.8li" "$PE_MACHINE_AMD64" "$module64"
check "it replaces the 32-bit module" is_module "$plugins32/ZYT/ZYT_Lumacut.8li" "$PE_MACHINE_I386" "$module32"
check "there is one uninstall entry" test "$(entry_count)" = 1
check "the file list holds each item once" \
  test "$(listed)" = "$(lines "$module64_line" "$folder64_line" "$module32_line")"
uninstall
check "after it, the uninstaller still leaves the folders as before the first install" test "$(snapshot)" = "$before"

echo "== a module that cannot be written"
reset
add_hosts
mkdir -p "$plugins32/ZYT/ZYT_Lumacut.8li"  # a folder in its place: no file can be written there
before32=$(cd "$host32_dir" && find . | sort)
wine "$setup" /S
check "/S ends non-zero when a host could not be served" test $? != 0
check "quiet mode answers Cancel: that host stays as it was" test "$(cd "$host32_dir" && find . | sort)" = "$before32"
check "the other host still gets its module" is_module "$plugins64/ZYT/ZYT_Lumacut.8li" "$PE_MACHINE_AMD64" "$module64"
check "only what was placed is listed" test "$(listed)" = "$(lines "$module64_line" "$folder64_line")"

echo "== no host"
reset
touch "$work/stamp"
wine "$setup" /S
check "/S ends non-zero" test $? != 0
check "it writes no entry" test "$(entry_count)" = 0
check "it writes no file" test -z "$(find "$drive" -newer "$work/stamp" -type f -not -path '*/Temp/*' -print -quit)"

echo "$passed passed, $failures failed"
[ "$failures" = 0 ]
