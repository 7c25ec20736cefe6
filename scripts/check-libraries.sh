#!/bin/bash
# What the two libraries that enter other processes may hold (a CTest test of the Windows build):
#   check-libraries.sh OBJDUMP LIBRARY...
# Each library: no section shared between processes (memory every process mapping it could
# write).
set -u
objdump=${1:?usage: check-libraries.sh OBJDUMP LIBRARY...}
shift
failures=0
fail() {
  echo "check-libraries: $*"
  failures=$((failures + 1))
}
for library in "$@"; do
  name=$(basename "$library")
  headers=$("$objdump" -h "$library") || { fail "$name cannot be read"; continue; }
  if echo "$headers" | grep -q SHARED; then
    fail "$name has a section shared by every process that maps it"
  fi
done
[ "$failures" -eq 0 ] && echo "check-libraries: $# libraries as they should be"
[ "$failures" -eq 0 ]
