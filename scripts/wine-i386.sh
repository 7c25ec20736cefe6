#!/bin/bash
# The 32-bit Windows DLLs with which Wine's "new WoW64" mode runs i686 programs inside Debian's
# 64-bit wine64, unpacked into a private folder (nothing of Wine is installed system-wide; only
# the i386 package lists are added, to download the package):
#   wine-i386.sh FOLDER   prepares FOLDER once and prints the folder to give as WINEDLLPATH
set -eu
folder=$(mkdir -p "${1:?usage: wine-i386.sh FOLDER}" && cd "$1" && pwd)
dllpath=$folder/dllpath
if [ ! -d "$dllpath/i386-windows/" ]; then
  sudo=""
  [ "$(id -u)" -eq 0 ] || sudo=sudo
  # The 32-bit DLLs must be those of the installed 64-bit Wine.
  version=$(dpkg-query -W -f='${Version}' libwine)
  if ! dpkg --print-foreign-architectures | grep -qx i386; then
    $sudo dpkg --add-architecture i386
  fi
  if ! apt-cache show "libwine:i386=$version" >/dev/null 2>&1; then
    $sudo apt-get update -qq
  fi
  rm -rf "$folder/download" "$folder/root"
  mkdir -p "$folder/download"
  (cd "$folder/download" && apt-get download -qq "libwine:i386=$version" 2>/dev/null)
  dpkg -x "$folder"/download/libwine_*_i386.deb "$folder/root"
  mkdir -p "$dllpath"
  # Without the host's unix-side libraries beside them, no window can be made.
  ln -sfn "$folder/root/usr/lib/i386-linux-gnu/wine/i386-windows" "$dllpath/i386-windows"
  ln -sfn /usr/lib/x86_64-linux-gnu/wine/x86_64-unix "$dllpath/x86_64-unix"
fi
echo "$dllpath"
