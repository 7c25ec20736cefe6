#!/bin/bash
# Installs what building, running and testing Tavolet need on Debian 12, only where missing.
set -eu
packages=(
  cmake ninja-build g++ make
  clang libclang-rt-14-dev googletest libgtest-dev libbenchmark-dev
  g++-mingw-w64-x86-64-posix g++-mingw-w64-i686-posix
  wine64 xvfb fonts-ipafont-gothic fonts-wine locales zip python3
)
missing=()
for package in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed' ||
    missing+=("$package")
done
sudo=""
[ "$(id -u)" -eq 0 ] || sudo=sudo
if [ ${#missing[@]} -gt 0 ]; then
  echo "install-deps: installing ${missing[*]}"
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends \
    "${missing[@]}" >/dev/null
fi
# Wine shows Japanese only under a Japanese locale.
if ! locale -a 2>/dev/null | grep -qi '^ja_JP\.utf-\?8$'; then
  $sudo sed -i 's/^# *\(ja_JP.UTF-8 UTF-8\)/\1/' /etc/locale.gen
  grep -q '^ja_JP.UTF-8 UTF-8' /etc/locale.gen || echo 'ja_JP.UTF-8 UTF-8' | $sudo tee -a /etc/locale.gen >/dev/null
  $sudo locale-gen >/dev/null
fi
# Wine's classic 32-bit side, for the i686 test layer, where the kernel runs 32-bit programs.
"$(dirname "$0")/wine-i386.sh" || echo "install-deps: this kernel runs no 32-bit program; the i686 Wine layer will be skipped"
