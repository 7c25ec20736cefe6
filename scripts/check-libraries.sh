#!/bin/bash
# What the two libraries that enter other processes may hold (a CTest test of the Windows build):
#   check-libraries.sh OBJDUMP LIBRARY=MAXBYTES...
# Each library: no section shared between processes (memory every process mapping it could
# write); only system DLLs imported (no C runtime); no thread-local storage directory (whose
# callbacks would run in every thread of every process it enters); at most MAXBYTES in size.
# A 64-bit one (PE32+) also carries a non-empty exception directory: without function tables
# an exception raised below one of its procedures cannot be dispatched through it, and the
# process it runs in dies.
set -u
objdump=${1:?usage: check-libraries.sh OBJDUMP LIBRARY=MAXBYTES...}
shift
allowed='^(kernel32|user32|gdi32|comctl32|advapi32)\.dll$'
failures=0
fail() {
  echo "check-libraries: $*"
  failures=$((failures + 1))
}
for argument in "$@"; do
  library=${argument%=*}
  limit=${argument##*=}
  name=$(basename "$library")
  headers=$("$objdump" -h -p "$library") || { fail "$name cannot be read"; continue; }
  echo "$headers" | grep -q SHARED && fail "$name has a section shared by every process that maps it"
  while read -r imported; do
    echo "$imported" | tr 'A-Z' 'a-z' | grep -Eq "$allowed" || fail "$name imports $imported"
  done < <(echo "$headers" | sed -n 's/^[[:space:]]*DLL Name: //p')
  echo "$headers" | grep -Eq 'Entry 9 0+ 0+ Thread Storage' ||
    fail "$name has a thread-local storage directory"
  if echo "$headers" | grep -Eq '^Magic[[:space:]]+020b'; then
    echo "$headers" | grep -Eq 'Entry 3 [0-9a-fA-F]+ 0*[1-9a-fA-F][0-9a-fA-F]* Exception Directory' ||
      fail "$name has no exception directory (no unwind data for its functions)"
  fi
  size=$(stat -c %s "$library")
  [ "$size" -le "$limit" ] || fail "$name is $size bytes, more than $limit"
  echo "check-libraries: $name $size bytes"
done
[ "$failures" -eq 0 ]
