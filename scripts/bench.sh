#!/bin/bash
# make bench: figures, not pass/fail tests. Native Google Benchmark for the key file and
# FindById; Tavolet's start-up time under Wine.
set -eu
cd "$(dirname "$0")/.."
root=$PWD
cmake --preset bench >/dev/null && cmake --build --preset bench >/dev/null
build/bench/native_bench --benchmark_min_time=0.2
cmake --preset win64 >/dev/null
cmake --build --preset win64 --target Tavolet desktop_standin startup_bench minimal_tray_app \
  startup_steps_bench hotkey_latency_bench dialog_bench hook_bench window_maker paint_bench >/dev/null
state=$root/build/bench-wine
scripts/wine-env.sh setup "$state" >/dev/null
trap 'scripts/wine-env.sh teardown "$state"' EXIT
# Tavolet needs a desktop list view to attach to.
scripts/wine-run.sh "$state" build/win64/desktop_standin.exe >/dev/null 2>&1 &
sleep 2
scripts/wine-run.sh "$state" build/win64/startup_bench.exe 7 2>/dev/null | tr -d '\r'
scripts/wine-run.sh "$state" build/win64/startup_steps_bench.exe 7 2>/dev/null | tr -d '\r'
scripts/wine-run.sh "$state" build/win64/hotkey_latency_bench.exe 2>/dev/null | tr -d "\r"
scripts/wine-run.sh "$state" build/win64/dialog_bench.exe 2>/dev/null | tr -d "\r"
scripts/wine-run.sh "$state" build/win64/hook_bench.exe 2>/dev/null | tr -d "\r"
scripts/wine-run.sh "$state" build/win64/paint_bench.exe 2>/dev/null | tr -d "\r"
