#!/bin/bash
# Runs one Windows test program of a run (CTest's emulator): wine-test.sh STATE_DIR PROGRAM ARGS...
# Its output, and that of every program it starts, goes to a file (a pipe would be held open by
# Wine's background processes) that is shown when it ends. A Wine crash line from any of those
# programs fails the test, even when the test program itself reported success.
state=${1:?usage: wine-test.sh STATE_DIR PROGRAM [ARGS...]}
shift
# shellcheck disable=SC1091
. "$state/env" || { echo "wine-test: no Wine environment in $state (run its setup)" >&2; exit 1; }
output=$(mktemp "$state/output.XXXXXX")
/usr/lib/wine/wine64 "$@" > "$output" 2>&1 < /dev/null
code=$?
# A test program always prints before it ends; one that ends at once with nothing at all never
# ran (seen rarely: exit code 1 within 0.05 s). That is the environment's failure, not the
# test's: it is started once more, and said so.
if [ "$code" -ne 0 ] && [ ! -s "$output" ]; then
  echo "wine-test: $(basename "$1") ended with exit code $code before printing anything; started again"
  /usr/lib/wine/wine64 "$@" > "$output" 2>&1 < /dev/null
  code=$?
fi
cat "$output"
[ "$code" -ne 0 ] && echo "wine-test: $(basename "$1") ended with exit code $code"
if grep -a -q -E 'wine: (Unhandled|Call from .* to unimplemented function)' "$output"; then
  echo "wine-test: a program crashed during this test (Wine's line above)"
  [ "$code" -eq 0 ] && code=1
fi
rm -f "$output"
exit "$code"
