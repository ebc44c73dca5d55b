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

# A prefix of its own, so the tests' prefix stays as it is.
export WINEPREFIX=${LUMACUT_SCREENSHOT_PREFIX:-$HOME/.cache/lumacut/screenshots-$windows}
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="
. scripts/wine-facts.sh
machine=$(pe_machine "$build/bin/lumacut-screenshots.exe")
wine=$(wine_loader "$machine")
[ "$machine" = "$PE_MACHINE_AMD64" ] || export WINEARCH=win32
undecorated_prefix "$wine"
timeout 120 "$(wine_server "$machine")" -w || true

mkdir -p docs
scripts/wine-display.sh timeout 600 "$wine" "$build/bin/lumacut-screenshots.exe" \
  --module="$(built_module "$build")" docs/mode-dialog.png docs/about-box.png

# The setup program holds both modules, whichever build this machine tests.
for preset in win32 win64; do
  cmake --preset "$preset" >/dev/null
  cmake --build --preset "$preset" -j"$(nproc)" --target ZYT_Lumacut
done
installer/build-setup.sh "$(built_module build/win32)" "$(built_module build/win64)" "$build/ZYT_Lumacut-setup.exe"
installer/screenshot-hosts-page.sh "$build/ZYT_Lumacut-setup.exe" docs/installer-hosts.png
