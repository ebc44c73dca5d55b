#!/usr/bin/env bash
# 32-bit Wine needs a kernel that runs 32-bit programs. Where the kernel has
# that turned off (dmesg: "32-bit emulation disabled"), register qemu's i386
# emulator with binfmt_misc so that the same programs run, more slowly.
# Harmless to rerun; needs root.
set -eu
probe=$(mktemp -d)
trap 'rm -rf "$probe"' EXIT
# The smallest i386 program: exit(7) through the 32-bit system call gate.
printf '\x7fELF\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x02\x00\x03\x00\x01\x00\x00\x00\x54\x80\x04\x08\x34\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x34\x00\x20\x00\x01\x00\x00\x00\x00\x00\x00\x00\x01\x00\x00\x00\x00\x00\x00\x00\x00\x80\x04\x08\x00\x80\x04\x08\x60\x00\x00\x00\x60\x00\x00\x00\x05\x00\x00\x00\x00\x10\x00\x00\xb8\x01\x00\x00\x00\xbb\x07\x00\x00\x00\xcd\x80\x90' > "$probe/i386"
chmod +x "$probe/i386"
set +e
"$probe/i386" 2>/dev/null
rc=$?
set -e
if [ "$rc" = 7 ]; then
  echo "enable-i386: this machine runs 32-bit programs"
  exit 0
fi
echo "enable-i386: the kernel runs no 32-bit programs here; registering qemu-i386 with binfmt_misc"
if ! command -v qemu-i386-static >/dev/null; then
  DEBIAN_FRONTEND=noninteractive apt-get install -y qemu-user-static >/dev/null
fi
if [ ! -e /proc/sys/fs/binfmt_misc/register ]; then
  mount -t binfmt_misc binfmt_misc /proc/sys/fs/binfmt_misc
fi
if [ ! -e /proc/sys/fs/binfmt_misc/qemu-i386 ]; then
  echo ':qemu-i386:M::\x7fELF\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x02\x00\x03\x00:\xff\xff\xff\xff\xff\xfe\xfe\x00\xff\xff\xff\xff\xff\xff\xff\xff\xfe\xff\xff\xff:/usr/bin/qemu-i386-static:F' \
    > /proc/sys/fs/binfmt_misc/register
fi
set +e
"$probe/i386" 2>/dev/null
rc=$?
set -e
if [ "$rc" != 7 ]; then
  echo "enable-i386: 32-bit programs still do not run (exit $rc)" >&2
  exit 1
fi
echo "enable-i386: 32-bit programs now run through qemu-i386"
