#!/usr/bin/env bash
# Builds the setup program from the two modules it installs, so a package
# can hand it the very files it also zips.
#   installer/build-setup.sh MODULE32 MODULE64 OUTPUT.exe [LOGO.bmp]
# The logo defaults to the one the resource generator wrote into a build
# tree (build/*/resources/logo.bmp), the About box's picture.
set -eu
here=$(cd "$(dirname "$0")" && pwd)
top=$(dirname "$here")
if [ $# -lt 3 ]; then
  echo "usage: installer/build-setup.sh MODULE32 MODULE64 OUTPUT.exe [LOGO.bmp]" >&2
  exit 2
fi
module32=$1
module64=$2
output=$3
logo=${4:-}
if [ -z "$logo" ]; then
  for candidate in "$top"/build/{win32,win64,native}/resources/logo.bmp; do
    if [ -f "$candidate" ]; then logo=$candidate; break; fi
  done
fi
[ -n "$logo" ] && [ -f "$logo" ] || { echo "build-setup.sh: no logo.bmp; build any preset first (it generates resources/logo.bmp)" >&2; exit 1; }
command -v makensis >/dev/null || "$top/scripts/install-deps.sh"

. "$top/scripts/wine-facts.sh"
# A swapped pair would put modules into hosts that cannot load them.
[ -f "$module32" ] && [ "$(pe_machine "$module32")" = "$PE_MACHINE_I386" ] || { echo "build-setup.sh: $module32 is not a 32-bit (i386) module" >&2; exit 1; }
[ -f "$module64" ] && [ "$(pe_machine "$module64")" = "$PE_MACHINE_AMD64" ] || { echo "build-setup.sh: $module64 is not an x64 module" >&2; exit 1; }

absolute() { (cd "$(dirname "$1")" && echo "$(pwd)/$(basename "$1")"); }
mkdir -p "$(dirname "$output")"
# Written beside the target and renamed, so a failed build leaves no half program.
partial=$(absolute "$output").partial
rm -f "$partial"
# The program keeps each file's time; copies dated at the last commit make
# every build of a commit give the same program.
inputs=$(mktemp -d)
trap 'rm -rf "$partial" "$inputs"' EXIT
cp "$module32" "$inputs/module32.8li"
cp "$module64" "$inputs/module64.8li"
cp "$logo" "$inputs/logo.bmp"
touch -d "@$("$top/scripts/commit-time.sh")" "$inputs"/*
# With the maker's certificate, the program and the uninstaller it writes are signed as makensis finishes them.
sign=()
certificate=0
"$top/scripts/sign.sh" --check || certificate=$?
case $certificate in
  # makensis runs the signing from the script's folder.
  0) sign=("-DSIGN=$top/scripts/sign.sh"); LUMACUT_SIGN_PFX=$(absolute "$LUMACUT_SIGN_PFX"); export LUMACUT_SIGN_PFX ;;
  3) ;;
  *) exit 1 ;;
esac
makensis -V2 "${sign[@]}" "-DVERSION=$(cmake -P "$top/cmake/Version.cmake")" \
  "-DMODULE32=$inputs/module32.8li" "-DMODULE64=$inputs/module64.8li" \
  "-DLOGO=$inputs/logo.bmp" "-DOUTFILE=$partial" \
  "$here/ZYT_Lumacut.nsi" >&2
mv "$partial" "$output"
echo "build-setup.sh: wrote $output"
