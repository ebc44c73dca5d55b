#!/usr/bin/env bash
# Builds the release zip a photographer installs from: the plug-in for
# 32-bit hosts and for x64 hosts, the install guide, and the licence notices
# of everything inside the modules (our code, and the GCC and mingw-w64
# runtimes linked into them).
#   scripts/package.sh                               build win32 and win64, write out/ZYT_Lumacut-<version>.zip
#                                                    and the setup program out/ZYT_Lumacut-<version>-setup.exe
#   scripts/package.sh MODULE32 MODULE64 OUTPUT.zip [SETUP.exe]
#                                                    package modules already built (and build their setup program)
# The builds strip their modules (the symbols stay beside them, in
# ZYT_Lumacut.8li.debug), so the files packed are the very files tested.
# Two packagings of one commit give the same bytes: every file time is the
# last commit's (scripts/commit-time.sh) and the zip's entries are in a
# fixed order. With a certificate in the environment (scripts/sign.sh) the
# modules, the setup program and its uninstaller are signed; a signing that
# fails writes nothing.
set -eu
top=$(cd "$(dirname "$0")/.." && pwd)
. "$top/scripts/wine-facts.sh"
version=$(cmake -P "$top/cmake/Version.cmake")
signing=yes
"$top/scripts/sign.sh" --check || case $? in
  3) signing=no; echo "package.sh: no certificate (LUMACUT_SIGN_PFX is not set): the package is not signed" ;;
  *) exit 1 ;;
esac
setup=
if [ $# -ge 3 ]; then
  module32=$1
  module64=$2
  zipfile=$3
  setup=${4:-}
else
  "$top/scripts/install-deps.sh"
  for preset in win32 win64; do
    (cd "$top" && cmake --preset $preset >/dev/null && cmake --build --preset $preset -j"$(nproc)" >/dev/null)
  done
  module32=$(built_module "$top/build/win32")
  module64=$(built_module "$top/build/win64")
  zipfile=$top/out/ZYT_Lumacut-$version.zip
  setup=$top/out/ZYT_Lumacut-$version-setup.exe
fi
# The zip is written from the staging folder: name the outputs from anywhere.
absolute() { case $1 in /*) echo "$1" ;; *) echo "$PWD/$1" ;; esac; }
zipfile=$(absolute "$zipfile")
[ -z "$setup" ] || setup=$(absolute "$setup")
for module in "$module32" "$module64"; do
  [ -f "$module" ] || { echo "package.sh: no module at $module" >&2; exit 1; }
  # A module that still has its symbols was not built by our presets.
  if objdump -h "$module" 2>/dev/null | grep -q '\.debug_'; then
    echo "package.sh: $module carries debug information; build it with the win32 or win64 preset" >&2
    exit 1
  fi
done
for notice in /usr/share/doc/gcc-mingw-w64-base/copyright /usr/share/doc/mingw-w64-i686-dev/copyright \
              /usr/share/doc/mingw-w64-x86-64-dev/copyright; do
  [ -f "$notice" ] || { echo "package.sh: missing licence notice $notice (scripts/install-deps.sh)" >&2; exit 1; }
done
stage=$(mktemp -d)
trap 'rm -rf "$stage" "$zipfile.partial"' EXIT
# The release tree; the installer packs the same files from here.
root=$stage/ZYT_Lumacut-$version
mkdir -p "$root/licenses" "$root/32-bit" "$root/64-bit"
cp "$module32" "$root/32-bit/ZYT_Lumacut.8li"
cp "$module64" "$root/64-bit/ZYT_Lumacut.8li"
cp "$top/docs/INSTALL-WINDOWS.txt" "$root/INSTALL.txt"
cp "$top/LICENSE.txt" "$root/LICENSE.txt"
cp /usr/share/doc/gcc-mingw-w64-base/copyright "$root/licenses/gcc-runtime.txt"
# The i686 and x86-64 runtime packages carry the same notice.
cp /usr/share/doc/mingw-w64-i686-dev/copyright "$root/licenses/mingw-w64-runtime.txt"
echo "ZYT_Lumacut $(cmake -DPRINT=RELEASE -P "$top/cmake/Version.cmake")" > "$root/VERSION.txt"
[ "$signing" = no ] || "$top/scripts/sign.sh" "$root/32-bit/ZYT_Lumacut.8li" "$root/64-bit/ZYT_Lumacut.8li"
(cd "$root" && sha256sum 32-bit/ZYT_Lumacut.8li 64-bit/ZYT_Lumacut.8li > SHA256SUMS.txt)
for bits in 32 64; do
  echo "package.sh: $bits-bit/ZYT_Lumacut.8li $(stat -c %s "$root/$bits-bit/ZYT_Lumacut.8li") bytes"
done
# The zip keeps no owner, a mode from no umask, and times of no build.
find "$stage" -type d -exec chmod 755 {} + && find "$stage" -type f -exec chmod 644 {} +
find "$stage" -exec touch -d "@$("$top/scripts/commit-time.sh")" {} +
# The setup program installs the very modules the zip holds (and signs
# itself and its uninstaller with the same certificate).
# Its header picture is the one generated beside the x64 module, where
# there is one, so that a build in another folder packs its own.
if [ -n "$setup" ]; then
  logo=()
  [ ! -f "$(dirname "$module64")/../resources/logo.bmp" ] || logo=("$(dirname "$module64")/../resources/logo.bmp")
  "$top/installer/build-setup.sh" "$root/32-bit/ZYT_Lumacut.8li" "$root/64-bit/ZYT_Lumacut.8li" "$stage/setup.exe" "${logo[@]}"
fi
mkdir -p "$(dirname "$zipfile")"
# Written beside the target and renamed, so a failed run leaves no half zip.
rm -f "$zipfile.partial"
(cd "$stage" && find "ZYT_Lumacut-$version" | LC_ALL=C sort | TZ=UTC zip -qX -@ "$zipfile.partial")
if [ -n "$setup" ]; then
  mkdir -p "$(dirname "$setup")"
  mv "$stage/setup.exe" "$setup"
  echo "package.sh: wrote $setup"
fi
mv "$zipfile.partial" "$zipfile"
echo "package.sh: wrote $zipfile"
