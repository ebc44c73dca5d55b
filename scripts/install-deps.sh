#!/usr/bin/env bash
# Installs what building and testing need on Debian 12, as root. Installs
# only what is missing, so it is cheap to rerun. qemu, debootstrap and
# e2fsprogs build and run the emulated machine of scripts/i386-machine.sh.
# libclang-rt-14-dev brings the fuzz input reader (FuzzedDataProvider.h) that
# the native-asan build's corpus replays share with the fuzzers; libvips-dev
# builds the benchmark's libvips peer (tools/main_vips_peer.cpp); pngcheck
# checks the masks that the image tests write;
# libcli11-dev is lumacut-host's command-line parser (cmake/CLI11.cmake).
set -eu
packages=(cmake make g++ g++-mingw-w64-i686 mingw-w64-i686-dev g++-mingw-w64-x86-64 mingw-w64-x86-64-dev
          wine wine32:i386 wine64 xvfb xauth x11-utils googletest libstb-dev
          libjpeg62-turbo-dev libpng-dev libtiff-dev zlib1g-dev libz-mingw-w64-dev
          imagemagick time zip unzip valgrind nsis nsis-common osslsigncode openssl git
          qemu-system-x86 debootstrap e2fsprogs libclang-rt-14-dev libvips-dev pngcheck libcli11-dev)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "install-deps: installing ${missing[*]}"
  if ! dpkg --print-foreign-architectures | grep -qx i386; then dpkg --add-architecture i386; fi
  apt-get update -qq
  DEBIAN_FRONTEND=noninteractive apt-get install -y -qq "${missing[@]}" >/dev/null
fi
