#!/usr/bin/env bash
# The gui, e2e and wine tests on a busy machine: three rounds in a row with
# two busy-loop processes beside them, which are ended afterwards. Not part
# of the CI run; run it before calling the suite sound under load.
#   tests/load_check.sh [BUILD]     (BUILD defaults to build/)
set -uo pipefail
build=${1:-build}
[ -f "$build/CTestTestfile.cmake" ] || { echo "no configured build in $build"; exit 2; }

busy=()
for _ in 1 2; do
  (while :; do :; done) &
  busy+=($!)
done
trap 'kill "${busy[@]}" 2>/dev/null; wait "${busy[@]}" 2>/dev/null' EXIT

failed=0
for round in 1 2 3; do
  for label in gui e2e wine; do
    log=$(mktemp)
    start=$SECONDS
    # A label that finds no tests checks nothing: the build lacks them.
    ctest --test-dir "$build" -L "^$label\$" --timeout 600 --no-tests=error >"$log" 2>&1
    status=$?
    summary=$(grep -E 'tests passed|No tests were found' "$log" | tail -n 1)
    printf 'round %d %-4s %3ds load %s: %s\n' "$round" "$label" $((SECONDS - start)) \
      "$(cut -d' ' -f1 /proc/loadavg)" "${summary:-no summary}"
    if [ "$status" != 0 ]; then
      failed=1
      grep -E '\*\*\*|FAIL|No tests were found' "$log" | sed 's/^/    /'
    fi
    rm -f "$log"
  done
done
[ "$failed" = 0 ] && echo "load check passed" || echo "load check FAILED"
exit "$failed"
