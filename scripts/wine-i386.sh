#!/bin/bash
# The 32-bit side of Wine for the i686 test layer: Debian's classic 32-bit Wine (wine32:i386),
# installed where the kernel runs 32-bit Linux programs. /usr/lib/wine/wine64 then hands every
# i686 program to the 32-bit loader, and a prefix made afterwards has a full syswow64.
#   wine-i386.sh            installs wine32:i386 if missing; exit 1 where no 32-bit program runs
#   wine-i386.sh --check    only tells (exit 0 or 1) whether this kernel runs 32-bit programs
set -eu

# A 12-byte i386 program (exit(42)) in the smallest ELF that Linux loads: it answers in a
# millisecond whether IA32 emulation is on.
kernel_runs_32_bit() {
  local probe status=0
  probe=$(mktemp)
  printf '\177ELF\1\1\1\0\0\0\0\0\0\0\0\0\2\0\3\0\1\0\0\0\124\200\4\10\64\0\0\0\0\0\0\0' > "$probe"
  printf '\0\0\0\0\64\0\40\0\1\0\0\0\0\0\0\0\1\0\0\0\0\0\0\0\0\200\4\10\0\200\4\10' >> "$probe"
  printf '\140\0\0\0\140\0\0\0\5\0\0\0\0\20\0\0\263\52\61\300\100\315\200' >> "$probe"
  chmod +x "$probe"
  "$probe" 2>/dev/null || status=$?
  rm -f "$probe"
  [ "$status" -eq 42 ]
}

kernel_runs_32_bit || exit 1
[ "${1:-}" = --check ] && exit 0

installed() { dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q 'install ok installed'; }
if ! installed wine32:i386; then
  sudo=""
  [ "$(id -u)" -eq 0 ] || sudo=sudo
  if ! dpkg --print-foreign-architectures | grep -qx i386; then
    $sudo dpkg --add-architecture i386
  fi
  $sudo apt-get update -qq
  echo "wine-i386: installing wine32:i386"
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends \
    wine32:i386 >/dev/null
fi
