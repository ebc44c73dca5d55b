#!/usr/bin/env bash
# Builds the release zip a photographer installs from: the plug-in, the
# install guide, and the licence notices of everything inside the module
# (our code, and the GCC and mingw-w64 runtimes linked into it).
#   scripts/package.sh                      build win32, write out/ZYT_Lumacut-<version>.zip
#   scripts/package.sh MODULE OUTPUT.zip    package a module already built
set -eu
top=$(cd "$(dirname "$0")/.." && pwd)
version=0.1
if [ $# -ge 2 ]; then
  module=$1
  zipfile=$2
else
  "$top/scripts/install-deps.sh"
  (cd "$top" && cmake --preset win32 >/dev/null && cmake --build --preset win32 -j"$(nproc)" >/dev/null)
  module=$top/build/win32/bin/ZYT_Lumacut.8li
  zipfile=$top/out/ZYT_Lumacut-$version.zip
fi
[ -f "$module" ] || { echo "package.sh: no module at $module" >&2; exit 1; }
for notice in /usr/share/doc/gcc-mingw-w64-base/copyright /usr/share/doc/mingw-w64-i686-dev/copyright; do
  [ -f "$notice" ] || { echo "package.sh: missing licence notice $notice (apt-get install g++-mingw-w64-i686)" >&2; exit 1; }
done
stage=$(mktemp -d)
trap 'rm -rf "$stage"' EXIT
root=$stage/ZYT_Lumacut-$version
mkdir -p "$root/licenses"
cp "$module" "$root/ZYT_Lumacut.8li"
cp "$top/docs/INSTALL-WINDOWS.txt" "$root/INSTALL.txt"
cp "$top/LICENSE.txt" "$root/LICENSE.txt"
cp /usr/share/doc/gcc-mingw-w64-base/copyright "$root/licenses/gcc-runtime.txt"
cp /usr/share/doc/mingw-w64-i686-dev/copyright "$root/licenses/mingw-w64-runtime.txt"
echo "ZYT_Lumacut Version $version Release (12/2004)" > "$root/VERSION.txt"
sha256sum "$module" | sed "s|  .*|  ZYT_Lumacut.8li|" > "$root/SHA256SUMS.txt"
mkdir -p "$(dirname "$zipfile")"
# Written beside the target and renamed, so a failed run leaves no half zip.
rm -f "$zipfile.partial"
(cd "$stage" && zip -qrX "$zipfile.partial" "ZYT_Lumacut-$version")
mv "$zipfile.partial" "$zipfile"
echo "package.sh: wrote $zipfile"
# The setup program installs both modules; only the full build has both.
if [ $# -lt 2 ]; then
  (cd "$top" && cmake --preset win64 >/dev/null && cmake --build --preset win64 -j"$(nproc)" >/dev/null)
  "$top/installer/build-setup.sh" "$module" "$top/build/win64/bin/ZYT_Lumacut.8li" "$top/out/ZYT_Lumacut-$version-setup.exe"
fi
