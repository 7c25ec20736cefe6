#!/bin/bash
# Builds every preset and runs all three test layers; ends with one line "N passed, N failed".
# A preset that fails to build counts as one failed test.
set -u
cd "$(dirname "$0")/.."
logs=build/test-logs
mkdir -p "$logs"
passed=0
failed=0
failed_names=()
skipped=()

count_ctest() {  # adds the totals of a ctest log
  local log=$1 line total bad
  line=$(grep -E '[0-9]+% tests passed, [0-9]+ tests? failed out of [0-9]+' "$log" | tail -n1)
  if [ -z "$line" ]; then
    failed=$((failed + 1))
    failed_names+=("$2: no test results (log: $log)")
    return
  fi
  while IFS= read -r name; do
    failed_names+=("$2: $name")
  done < <(sed -n '/The following tests FAILED:/,$p' "$log" | grep -E '^\s+[0-9]+ - ' |
    sed -E 's/^\s+[0-9]+ - //')
  bad=$(echo "$line" | sed -E 's/.* ([0-9]+) tests? failed out of ([0-9]+).*/\1/')
  total=$(echo "$line" | sed -E 's/.* failed out of ([0-9]+).*/\1/')
  passed=$((passed + total - bad))
  failed=$((failed + bad))
}

# Whether this machine runs 32-bit Windows code under wine64 (Wine's new WoW64 mode). That mode
# sets up each 32-bit thread through the kernel's 32-bit entry, so a kernel whose 32-bit
# support (IA32 emulation) is switched off ends every such program at its first instruction.
# Where it runs, the platform probe also names what that 32-bit side lacks of Windows (Wine 8's
# new WoW64 mode: ANSI texts, memory device contexts, system icons, combo boxes); the tests that
# need it are then left out and named.
i686_missing=""
i686_runs_here() {
  local state=build/win32/wine code=1
  scripts/wine-env.sh setup "$state" 96 i686 > "$logs/win32-probe.log" 2>&1 || return 1
  # shellcheck disable=SC1091
  (. "$state/env" && /usr/lib/wine/wine64 build/win32/window_maker.exe 0) \
    >> "$logs/win32-probe.log" 2>&1 && code=0
  if [ $code = 0 ]; then
    # shellcheck disable=SC1091
    i686_missing=$( (. "$state/env" && /usr/lib/wine/wine64 build/win32/platform_probe.exe) \
      2>> "$logs/win32-probe.log" | tr -d '\r' | tr '\n' ' ')
  fi
  scripts/wine-env.sh teardown "$state" >/dev/null 2>&1
  return $code
}

run_preset() {  # name, with-tests (yes, no, or i686: when this machine runs 32-bit code)
  local name=$1 with_tests=$2
  echo "== $name"
  if ! { cmake --preset "$name" && cmake --build --preset "$name"; } > "$logs/$name-build.log" 2>&1; then
    tail -n 40 "$logs/$name-build.log"
    echo "== $name: build failed (log: $logs/$name-build.log)"
    failed=$((failed + 1))
    failed_names+=("$name: build failed")
    return
  fi
  if [ "$with_tests" = i686 ]; then
    if i686_runs_here; then
      with_tests=yes
    else
      echo "== $name: built; its Wine layer is skipped: this machine's kernel runs no 32-bit code"
      echo "   (IA32 emulation is off), which Wine's WoW64 mode needs (log: $logs/win32-probe.log)"
      skipped+=("$name Wine layer")
      ctest --preset "$name" -L no-wine > "$logs/$name-test.log" 2>&1
      grep -E 'tests passed|\(Failed\)|\*\*\*' "$logs/$name-test.log" | tail -n 5
      count_ctest "$logs/$name-test.log" "$name"
    fi
  fi
  local filter=()
  if [ "$name" = win32 ] && [ "$with_tests" = yes ] && [ -n "$i686_missing" ]; then
    filter=(-LE wow64-limited)
    echo "== $name: this Wine's 32-bit side lacks: ${i686_missing}- the tests that need it are"
    echo "   left out of this layer: $(ctest --preset "$name" -N -L wow64-limited | grep 'Test *#' | grep -vc environment_)"
    skipped+=("$name tests that need what Wine's WoW64 lacks (${i686_missing% })")
  fi
  if [ "$with_tests" = yes ]; then
    ctest --preset "$name" "${filter[@]}" > "$logs/$name-test.log" 2>&1
    grep -E 'tests passed|\(Failed\)|\*\*\*|Not Run|No tests' "$logs/$name-test.log" | tail -n 40
    count_ctest "$logs/$name-test.log" "$name"
  fi
}

run_preset native yes
run_preset fuzz yes
run_preset win64 yes
run_preset win32 i686

if [ ${#failed_names[@]} -gt 0 ]; then
  echo "Failed:"
  printf '  %s\n' "${failed_names[@]}"
fi
[ ${#skipped[@]} -gt 0 ] && echo "Skipped on this machine: ${skipped[*]}"
echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
