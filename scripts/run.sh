#!/bin/bash
# make run: builds the x86_64 Tavolet and runs it under Wine with the stand-in desktop, in the
# working folder run/ (where key.cfg and Tavolet.cfg live). Without a DISPLAY it uses its own
# Xvfb. A screenshot goes to run/screen.png a few seconds after start-up. Runs until Tavolet
# ends ("終了") or Ctrl+C; either way everything it started is stopped. TAVOLET_DPI=144 runs
# it at 150 % display scaling (any LogPixels value; 96 by default).
set -u
cd "$(dirname "$0")/.."
root=$PWD
cmake --preset win64 >/dev/null &&
  cmake --build --preset win64 --target Tavolet desktop_standin screenshot >/dev/null || {
  echo "run: build failed" >&2
  exit 1
}
state=$root/build/run-wine
mkdir -p run
if [ -n "${DISPLAY:-}" ]; then export WINE_ENV_DISPLAY=$DISPLAY; fi
"$root/scripts/wine-env.sh" setup "$state" "${TAVOLET_DPI:-96}" || exit 1

stop() {
  "$root/scripts/wine-env.sh" teardown "$state"
}
trap 'echo; echo "run: stopping"; stop; exit 130' INT TERM

wine_run() { "$root/scripts/wine-run.sh" "$state" "$@"; }
wine_run "$root/build/win64/desktop_standin.exe" >/dev/null 2>&1 &
(cd run && exec "$root/scripts/wine-run.sh" "$state" "$root/build/win64/Tavolet.exe") \
  >/dev/null 2>&1 &
tavolet=$!
echo "run: Tavolet is starting in run/ (it waits 2 s before its icon shows)"
sleep 5
(cd run && wine_run "$root/build/win64/screenshot.exe" screen.png) >/dev/null 2>&1 &&
  echo "run: screenshot saved to run/screen.png"
. "$state/env"
echo "run: running on display $DISPLAY; end it with its menu's 終了 or Ctrl+C"
wait "$tavolet"
code=$?
echo "run: Tavolet ended with exit code $code"
stop
