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
lacking=""

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

# Whether this machine runs the i686 build under Wine: its kernel must run 32-bit Linux
# programs (IA32 emulation on; some machines have it off) and Wine's classic 32-bit side must
# be installed (make deps does it where the kernel allows). Where it runs, the platform probe
# names anything the 32-bit side still lacks of what the ANSI, Japanese Tavolet takes for
# granted; the summary names it (no test is left out for it).
i686_missing=""
i686_why_not=""
i686_runs_here() {
  local state=build/win32/wine code=1
  if ! scripts/wine-i386.sh --check; then
    i686_why_not="this machine's kernel runs no 32-bit program (IA32 emulation is off)"
    return 1
  fi
  if [ ! -x /usr/lib/wine/wine ]; then
    i686_why_not="Wine's 32-bit side (wine32:i386) is not installed; make deps installs it"
    return 1
  fi
  scripts/wine-env.sh setup "$state" 96 i686 > "$logs/win32-probe.log" 2>&1 || {
    i686_why_not="its Wine environment could not be set up (log: $logs/win32-probe.log)"
    return 1
  }
  # shellcheck disable=SC1091
  (. "$state/env" && /usr/lib/wine/wine64 build/win32/window_maker.exe 0) \
    >> "$logs/win32-probe.log" 2>&1 && code=0
  if [ $code = 0 ]; then
    # shellcheck disable=SC1091
    i686_missing=$( (. "$state/env" && /usr/lib/wine/wine64 build/win32/platform_probe.exe) \
      2>> "$logs/win32-probe.log" | tr -d '\r' | tr '\n' ' ')
  else
    i686_why_not="a 32-bit program does not run under Wine here (log: $logs/win32-probe.log)"
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
      if [ -n "$i686_missing" ]; then
        echo "== $name: Wine's 32-bit side here lacks: ${i686_missing}(the tests that need it will fail)"
        lacking="Wine's 32-bit side here lacks ${i686_missing% }"
      fi
    else
      echo "== $name: built; its Wine layer is skipped: $i686_why_not"
      skipped+=("$name Wine layer")
      ctest --preset "$name" -L no-wine > "$logs/$name-test.log" 2>&1
      grep -E 'tests passed|\(Failed\)|\*\*\*' "$logs/$name-test.log" | tail -n 5
      count_ctest "$logs/$name-test.log" "$name"
    fi
  fi
  if [ "$with_tests" = yes ]; then
    ctest --preset "$name" > "$logs/$name-test.log" 2>&1
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
[ -n "$lacking" ] && echo "$lacking"
echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
