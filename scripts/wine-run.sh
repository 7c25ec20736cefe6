#!/bin/bash
# Runs a Windows program in the Wine environment of a run: wine-run.sh STATE_DIR PROGRAM ARGS...
state=${1:?usage: wine-run.sh STATE_DIR PROGRAM [ARGS...]}
shift
# shellcheck disable=SC1091
. "$state/env" || { echo "wine-run: no Wine environment in $state (run its setup)" >&2; exit 1; }
exec /usr/lib/wine/wine64 "$@"
