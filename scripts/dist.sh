#!/bin/bash
# make dist: dist/Tavolet-win32.zip and dist/Tavolet-win64.zip, each with Tavolet.exe, both
# libraries and a short readme for Windows users.
set -eu
cd "$(dirname "$0")/.."
root=$PWD
mkdir -p dist
for pair in win32:win32 win64:win64; do
  preset=${pair%%:*}
  cmake --preset "$preset" >/dev/null
  cmake --build --preset "$preset" --target Tavolet Corvane Lintrel >/dev/null
  staging=$(mktemp -d)
  mkdir "$staging/Tavolet"
  cp "build/$preset/Tavolet.exe" "build/$preset/Corvane.dll" "build/$preset/Lintrel.dll" \
    "$staging/Tavolet/"
  sed 's/$/\r/' resources/README-Windows.txt > "$staging/Tavolet/README.txt"
  rm -f "dist/Tavolet-$preset.zip"
  (cd "$staging" && zip -qr "$root/dist/Tavolet-$preset.zip" Tavolet)
  rm -rf "$staging"
  echo "dist: dist/Tavolet-$preset.zip"
done
