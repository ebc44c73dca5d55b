#!/usr/bin/env bash
# Pictures of the plug-in's two dialogs for the README, as Wine draws them
# on a virtual display: docs/mode-dialog.png and docs/about-box.png, and of
# the setup program's host page: docs/installer-hosts.png. Builds
# the Windows build this machine can run (scripts/windows-preset.sh), shows
# the mode dialog through a run request with its dialog and the About box
# through an About request, and photographs each.
#
#   scripts/screenshots.sh                  # into docs/
#   LUMACUT_BUILD_DIR=build/mine scripts/screenshots.sh
set -eu
cd "$(dirname "$0")/.."
windows=$(scripts/windows-preset.sh)
build=${LUMACUT_BUILD_DIR:-build/$windows}
cmake --preset "$windows" -B "$build" >/dev/null
cmake --build "$build" -j"$(nproc)" --target ZYT_Lumacut lumacut-screenshots

# A prefix of its own, so the tests' prefix stays as it is: with no window
# manager on the virtual display, Wine must draw the title bars itself
# (Decorated=N), and their close box needs the Marlett font in the prefix.
export WINEPREFIX=${LUMACUT_SCREENSHOT_PREFIX:-$HOME/.cache/lumacut/screenshots-$windows}
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="
. scripts/wine-facts.sh
machine=$(pe_machine "$build/bin/lumacut-screenshots.exe")
wine=$(wine_loader "$machine")
[ "$machine" = "$PE_MACHINE_AMD64" ] || export WINEARCH=win32
mkdir -p "$(dirname "$WINEPREFIX")"
timeout 900 "$wine" reg add 'HKCU\Software\Wine\X11 Driver' /v Decorated /t REG_SZ /d N /f >/dev/null 2>&1
mkdir -p "$WINEPREFIX/drive_c/windows/Fonts"
cp /usr/share/wine/fonts/marlett.ttf "$WINEPREFIX/drive_c/windows/Fonts/"
timeout 120 "$(wine_server "$machine")" -w || true

mkdir -p docs
xvfb-run -a -s "-screen 0 1280x1024x24" timeout 600 "$wine" "$build/bin/lumacut-screenshots.exe" \
  --module="$build/bin/ZYT_Lumacut.8li" docs/mode-dialog.png docs/about-box.png

# The setup program holds both modules, whichever build this machine tests.
for preset in win32 win64; do
  cmake --preset "$preset" >/dev/null
  cmake --build --preset "$preset" -j"$(nproc)" --target ZYT_Lumacut
done
installer/build-setup.sh build/win32/bin/ZYT_Lumacut.8li build/win64/bin/ZYT_Lumacut.8li "$build/ZYT_Lumacut-setup.exe"
installer/screenshot-hosts-page.sh "$build/ZYT_Lumacut-setup.exe" docs/installer-hosts.png
