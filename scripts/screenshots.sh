#!/bin/bash
# make screenshots: the README's pictures, taken by the end-to-end suite in the Wine test
# environment (tests/e2e/readme_pictures_e2e_test.cpp) and stored small in docs/.
set -eu
cd "$(dirname "$0")/.."
cmake --preset win64 >/dev/null
cmake --build --preset win64 >/dev/null
ctest --preset win64 -R '^ReadmePictures\.' --output-on-failure
for name in desktop-and-keys edit-dialog; do
  scripts/png_compact.py "build/win64/screenshots/readme_${name//-/_}.png" "docs/$name.png"
  echo "screenshots: docs/$name.png ($(stat -c %s "docs/$name.png") bytes)"
done
