#!/bin/bash
# Every picture the README links is there, is a PNG and is small (make screenshots makes them).
#   check-readme-pictures.sh README [MAX_BYTES]
set -u
readme=${1:?usage: check-readme-pictures.sh README [MAX_BYTES]}
most=${2:-100000}
folder=$(dirname "$readme")
status=0
links=$(grep -oE '\]\([^)]+\.png\)' "$readme" | sed -E 's/^\]\((.*)\)$/\1/')
[ -n "$links" ] || { echo "no picture linked in $readme"; exit 1; }
for link in $links; do
  file=$folder/$link
  if [ ! -f "$file" ]; then
    echo "missing: $link (make screenshots)"; status=1
  elif [ "$(head -c 8 "$file" | od -An -tx1 | tr -d ' \n')" != 89504e470d0a1a0a ]; then
    echo "not a PNG: $link"; status=1
  elif [ "$(stat -c %s "$file")" -gt "$most" ]; then
    echo "larger than $most bytes: $link"; status=1
  else
    echo "ok: $link ($(stat -c %s "$file") bytes)"
  fi
done
exit $status
