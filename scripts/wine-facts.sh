# Sourced, not run: what every script that starts Windows programs or reads
# Windows modules needs to know, said once.
#   . scripts/wine-facts.sh
#   machine=$(pe_machine FILE)        # 014c (i386), 8664 (x64), or nothing for a file that is no PE image
#   loader=$(wine_loader "$machine")  # the Wine that starts programs of that machine
#   server=$(wine_server "$machine")  # its server, to wait for or end
#   prefix=$(wine_prefix "$machine")  # our prefix for it: WINEPREFIX, else LUMACUT_WINEPREFIX64 or
#                                     # LUMACUT_WINEPREFIX, else one under ~/.cache/lumacut
#   module=$(built_module build/win32) # the module a build folder makes
#   undecorated_prefix "$loader"      # WINEPREFIX ready for pictures of its windows
#   wine_test_prefixes win32          # the prefixes a preset's tests leave Wine servers in
# Checkouts tested side by side on one machine each set LUMACUT_WINEPREFIX64 and
# LUMACUT_WINEPREFIX to prefixes of their own.

PE_MACHINE_I386=014c
PE_MACHINE_AMD64=8664

pe_machine() {
  [ "$(od -An -tx1 -j0 -N2 "$1" 2>/dev/null | tr -d ' ')" = 4d5a ] || return 0
  local pe
  pe=$(od -An -tu4 -j60 -N4 "$1" | tr -d ' ')
  od -An -tx2 -j$((pe + 4)) -N2 "$1" | tr -d ' '
}

# The prefixes our scripts make when none is named.
default_wine_prefix() {
  if [ "$1" = "$PE_MACHINE_AMD64" ]; then
    echo "${LUMACUT_WINEPREFIX64:-$HOME/.cache/lumacut/wineprefix64}"
  else
    echo "${LUMACUT_WINEPREFIX:-$HOME/.cache/lumacut/wineprefix}"
  fi
}

wine_prefix() { echo "${WINEPREFIX:-$(default_wine_prefix "$1")}"; }

wine_loader() {
  if [ "$1" = "$PE_MACHINE_AMD64" ]; then echo /usr/lib/wine/wine64; else echo wine; fi
}

wine_server() {
  if [ "$1" = "$PE_MACHINE_AMD64" ]; then echo /usr/lib/wine/wineserver64; else echo /usr/lib/wine/wineserver32; fi
}

# The machine a prefix was made for, from the mark Wine leaves in it.
prefix_machine() {
  if grep -qs '^#arch=win32' "$1/system.reg"; then echo "$PE_MACHINE_I386"; else echo "$PE_MACHINE_AMD64"; fi
}

# The module a build folder of a Windows preset makes.
built_module() { echo "$1/bin/ZYT_Lumacut.8li"; }

# With no window manager on the virtual display, Wine draws the title bars
# itself (Decorated=N), and their close box needs the Marlett font in the
# prefix. Makes WINEPREFIX if it is not there yet.
undecorated_prefix() {  # undecorated_prefix LOADER
  mkdir -p "$(dirname "$WINEPREFIX")"
  timeout --kill-after=5 900 "$1" reg add 'HKCU\Software\Wine\X11 Driver' /v Decorated /t REG_SZ /d N /f >/dev/null 2>&1
  mkdir -p "$WINEPREFIX/drive_c/windows/Fonts"
  cp /usr/share/wine/fonts/marlett.ttf "$WINEPREFIX/drive_c/windows/Fonts/"
}

# The prefixes a Windows preset's tests start Wine servers in, for
# scripts/wine-wait.sh.
wine_test_prefixes() {  # wine_test_prefixes PRESET
  local machine=$PE_MACHINE_I386
  [ "$1" != win64 ] || machine=$PE_MACHINE_AMD64
  echo "build/$1/tests/loadlog/loadlog-prefix $(default_wine_prefix "$machine")"
}
