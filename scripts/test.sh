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

run_preset() {  # name, with-tests
  local name=$1 with_tests=$2
  echo "== $name"
  if ! { cmake --preset "$name" && cmake --build --preset "$name"; } > "$logs/$name-build.log" 2>&1; then
    tail -n 40 "$logs/$name-build.log"
    echo "== $name: build failed (log: $logs/$name-build.log)"
    failed=$((failed + 1))
    failed_names+=("$name: build failed")
    return
  fi
  if [ "$with_tests" = yes ]; then
    ctest --preset "$name" > "$logs/$name-test.log" 2>&1
    grep -E 'tests passed|\(Failed\)|\*\*\*|Not Run|No tests' "$logs/$name-test.log" | tail -n 40
    count_ctest "$logs/$name-test.log" "$name"
  fi
}

run_preset native yes
run_preset fuzz yes
run_preset win32 no
run_preset win64 yes

if [ ${#failed_names[@]} -gt 0 ]; then
  echo "Failed:"
  printf '  %s\n' "${failed_names[@]}"
fi
echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
