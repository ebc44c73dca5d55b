#!/usr/bin/env bash
# Runs a command inside an emulated x86-64 Debian 12 machine whose kernel
# runs 32-bit programs, for hosts whose own kernel does not (32-bit Wine
# cannot start there; scripts/can-run-i386.sh tells). The checkout is shared
# into the machine at the same absolute path, so builds, tests and their
# output are where they are outside; the command runs in the current folder
# (which must lie inside the checkout), its output comes back on this
# program's standard output and its exit status is this program's.
#
#   scripts/i386-machine.sh ctest --preset win32 -j2
#   scripts/i386-machine.sh scripts/wine-run.sh build/win32/bin/cli_test.exe
#   scripts/i386-machine.sh --prepare     only build the machine, if needed
#
# The machine's disk (Debian with 32-bit Wine, Xvfb and ctest) is built
# once and cached in ~/.cache/lumacut/i386-machine (LUMACUT_MACHINE_CACHE),
# again whenever its recipe below changes. Each run boots it with
# -snapshot, so a run never changes the cached disk. Every phase has a time
# limit; LUMACUT_MACHINE_TIMEOUT (seconds, default 3600) bounds the command.
# Exit status: the command's, or 125 when the machine could not be built or
# booted, or never reported back.
set -u
here=$(cd "$(dirname "$0")" && pwd)
top=$(cd "$here/.." && pwd)
cache=${LUMACUT_MACHINE_CACHE:-$HOME/.cache/lumacut/i386-machine}
mirror=${LUMACUT_MACHINE_MIRROR:-http://deb.debian.org/debian}
say() { echo "i386-machine: $*" >&2; }
fail() { echo "i386-machine: $*" >&2; exit 125; }

# --- the recipe: whatever changes here makes a new disk ----------------------
guest_packages="wine wine32:i386 wine64 libwine:i386 xvfb xauth x11-utils cmake imagemagick"
# The machine's first program: it mounts the run folder the host shares and
# hands over to the script there, so that what a run does can change without
# a new disk.
stage1='#!/bin/sh
mount -t proc proc /proc
mount -t sysfs sysfs /sys
mount -t devtmpfs devtmpfs /dev
mount -t tmpfs tmpfs /run
mkdir -p /run/lumacut
modprobe 9pnet_virtio; modprobe 9p
if mount -t 9p -o trans=virtio,version=9p2000.L,msize=262144 lumacut-run /run/lumacut; then
  exec /bin/sh /run/lumacut/init
fi
echo "lumacut-init: the host shared no run folder" > /dev/ttyS0
echo o > /proc/sysrq-trigger'

build_tree() {  # $1: the folder to build the tree in
  local tree=$1
  debootstrap --variant=minbase --include=linux-image-amd64,udev,kmod,xvfb,xauth \
    bookworm "$tree" "$mirror" || return 1
  mount -t proc proc "$tree/proc" && mount --bind /dev "$tree/dev" || return 1
  chroot "$tree" /bin/sh -c "dpkg --add-architecture i386 && apt-get update -qq &&
    DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends $guest_packages &&
    apt-get clean"
  local status=$?
  umount "$tree/dev" "$tree/proc"
  [ $status = 0 ] || return 1
  printf '%s\n' "$stage1" > "$tree/sbin/lumacut-init" && chmod 755 "$tree/sbin/lumacut-init"
}
recipe=$(printf '%s\n' "$guest_packages" "$stage1" "$mirror"; declare -f build_tree)
key=$(printf '%s' "$recipe" | sha256sum | cut -c1-16)
disk=$cache/disk-$key
# ------------------------------------------------------------------------------

prepare_only=0
if [ "${1:-}" = --prepare ]; then prepare_only=1; shift; fi
[ $prepare_only = 1 ] || [ $# -gt 0 ] || fail "usage: i386-machine.sh [--prepare] COMMAND [ARGS...]"
for tool in qemu-system-x86_64 debootstrap mkfs.ext4 timeout sha256sum; do
  command -v "$tool" >/dev/null ||
    fail "$tool is missing; scripts/install-deps.sh installs it (qemu-system-x86, debootstrap, e2fsprogs)"
done

# Builds the disk unless this recipe's is there: the tree, then an ext4
# image of it with the kernel beside it. The tree itself is not kept.
make_disk() {
  [ -f "$disk/ready" ] && return 0
  [ "$(id -u)" = 0 ] || fail "building the machine needs root (debootstrap, chroot)"
  rm -rf "$cache"/disk-*.partial "$disk"
  mkdir -p "$disk.partial" || fail "cannot write $cache"
  local started=$SECONDS
  say "building the tree (Debian 12 with 32-bit Wine, once; about 5 minutes; log $disk.partial/build.log)"
  export -f build_tree
  export guest_packages stage1 mirror
  if ! timeout --kill-after=30 2400 bash -c 'build_tree "$1"' _ "$disk.partial/tree" \
       > "$disk.partial/build.log" 2>&1; then
    umount "$disk.partial/tree/dev" "$disk.partial/tree/proc" 2>/dev/null
    tail -n 15 "$disk.partial/build.log" >&2
    fail "the tree could not be built (the log above; kept in $disk.partial/build.log)"
  fi
  say "tree built in $((SECONDS - started)) s; making its disk image"
  started=$SECONDS
  cp "$disk.partial"/tree/boot/vmlinuz-* "$disk.partial/vmlinuz" &&
    cp "$disk.partial"/tree/boot/initrd.img-* "$disk.partial/initrd.img" &&
    timeout 900 mkfs.ext4 -q -L lumacut -d "$disk.partial/tree" "$disk.partial/root.ext4" 6G ||
    fail "the disk image could not be made from $disk.partial/tree"
  rm -rf "$disk.partial/tree"
  touch "$disk.partial/ready"
  mv "$disk.partial" "$disk" || fail "cannot move the disk into $disk"
  # Disks of earlier recipes are of no more use.
  for old in "$cache"/disk-*; do [ "$old" = "$disk" ] || rm -rf "$old"; done
  say "disk image made in $((SECONDS - started)) s: $disk"
}
mkdir -p "$cache" || fail "cannot write $cache"
# One builder at a time; a second caller waits for the first one's disk.
exec 9> "$cache/lock"
timeout 2700 flock 9 || fail "another build of the machine held $cache/lock for 45 minutes"
make_disk
flock -u 9
[ $prepare_only = 1 ] && exit 0

case "$PWD/" in
  "$top"/*) ;;
  *) fail "run it from inside the checkout ($top): only that is shared with the machine" ;;
esac
run=$(mktemp -d /tmp/lumacut-i386.XXXXXX) || fail "cannot make a run folder"
# Ends the machine if it still runs: qemu itself (its pid file), then the
# time limit around it.
stop_machine() {
  local pid
  pid=$(cat "$run/qemu.pid" 2>/dev/null)
  for signal in TERM KILL; do
    if [ -n "$pid" ] && kill -0 "$pid" 2>/dev/null; then kill -s $signal "$pid" 2>/dev/null; sleep 2; fi
  done
  [ -n "$limiter" ] && kill "$limiter" 2>/dev/null
  limiter=""
}
limiter=""
cleanup() {
  stop_machine
  rm -rf "$run"
}
trap cleanup EXIT
trap 'exit 130' INT TERM HUP

# What the machine runs, from the run folder: mounts, the checkout at the
# same path, then the command with this shell's Wine and project settings.
{
  echo "cd $(printf '%q' "$PWD") || exit 125"
  export -p | grep -E '^declare -x (LUMACUT_[A-Z0-9_]*|WINEDEBUG|WINEDLLOVERRIDES)=' |
    grep -v -E '^declare -x LUMACUT_MACHINE_'
  printf 'exec'; printf ' %q' "$@"; printf '\n'
} > "$run/command"
cat > "$run/init" <<EOF
export PATH=/usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin HOME=/root LANG=C.UTF-8
mkdir -p /dev/pts /dev/shm
mount -t devpts devpts /dev/pts
mount -t tmpfs tmpfs /dev/shm
mount -t tmpfs tmpfs /tmp
hostname lumacut-i386
stty -F /dev/ttyS1 raw -echo 2>/dev/null
mkdir -p $(printf '%q' "$top")
# Wine hangs loading its first program from 9p's default cache mode.
mount -t 9p -o trans=virtio,version=9p2000.L,msize=262144,cache=loose lumacut-src $(printf '%q' "$top") &&
  touch /run/lumacut/started &&
  bash /run/lumacut/command > /dev/ttyS1 2>&1 < /dev/null
echo \$? > /run/lumacut/status.new && mv /run/lumacut/status.new /run/lumacut/status
sync
umount $(printf '%q' "$top") 2>/dev/null
echo o > /proc/sysrq-trigger
EOF
: > "$run/output"

run_limit=${LUMACUT_MACHINE_TIMEOUT:-3600}
boot_limit=600
say "booting (qemu, TCG, 2 CPUs; the run may take ${run_limit} s at most)"
started=$SECONDS
# The CPU model is chosen: with -cpu max the guest kernel oopses as soon as
# 32-bit Wine starts.
timeout --kill-after=10 $((boot_limit + run_limit + 120)) \
  qemu-system-x86_64 -machine q35,accel=tcg -cpu qemu64,+ssse3,+sse4.1,+sse4.2,+popcnt \
  -smp 2 -m "${LUMACUT_MACHINE_MEMORY:-4G}" -snapshot -display none -no-reboot -nic none \
  -kernel "$disk/vmlinuz" -initrd "$disk/initrd.img" \
  -drive file="$disk/root.ext4",format=raw,if=virtio \
  -append "root=/dev/vda rw console=ttyS0 quiet panic=1 init=/sbin/lumacut-init" \
  -virtfs local,path="$run",mount_tag=lumacut-run,security_model=none \
  -virtfs local,path="$top",mount_tag=lumacut-src,security_model=passthrough \
  -serial file:"$run/console.log" -serial file:"$run/output" \
  -pidfile "$run/qemu.pid" > "$run/qemu.log" 2>&1 &
limiter=$!
tail -n +1 -f --pid="$limiter" "$run/output" &
tailer=$!

# Waits for the guest to start the command, then for the command to end.
phase=boot
while kill -0 "$limiter" 2>/dev/null; do
  if [ $phase = boot ] && [ -e "$run/started" ]; then
    say "running in the machine (booted in $((SECONDS - started)) s): $(echo "$*" | tr -s ' \n' ' ' | cut -c1-100)"
    phase=run; started=$SECONDS
  fi
  [ -e "$run/status" ] && break
  if [ $phase = boot ] && [ $((SECONDS - started)) -ge $boot_limit ]; then break; fi
  if [ $phase = run ] && [ $((SECONDS - started)) -ge "$run_limit" ]; then break; fi
  sleep 1
done
# The guest powers itself off after writing its status: give it a moment.
for _ in $(seq 30); do kill -0 "$limiter" 2>/dev/null || break; sleep 1; done
stop_machine
wait "$tailer" 2>/dev/null
if [ ! -e "$run/status" ]; then
  echo "--- the machine's console:" >&2
  tail -n 20 "$run/console.log" "$run/qemu.log" >&2
  case $phase in
    boot) fail "the machine never reported back: it did not start the command within $boot_limit s" ;;
    *) fail "the machine never reported back: the command ran out of its $run_limit s or the machine died" ;;
  esac
fi
status=$(cat "$run/status")
say "result: exit status $status after $((SECONDS - started)) s"
exit "$status"
