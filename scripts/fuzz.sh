#!/usr/bin/env bash
# Runs every fuzzing harness built in BUILD/fuzz for SECONDS each, over a working
# corpus seeded from fuzz/corpus/<reader>; prints the executions of each and
# fails on any crash, sanitizer report, timeout or memory blow-up. What a
# failing input was is kept in BUILD/fuzz-artifacts for the corpus.
set -euo pipefail
build=$1
seconds=${2:-60}
top=$(cd "$(dirname "$0")/.." && pwd)
status=0
mkdir -p "$build/fuzz-artifacts"
for harness in "$build"/fuzz/fuzz_*; do
  [ -f "$harness" ] && [ -x "$harness" ] || continue
  name=$(basename "$harness")
  seeds="$top/fuzz/corpus/${name#fuzz_}"
  work="$build/fuzz-corpus/$name"
  log="$build/fuzz-$name.log"
  mkdir -p "$work"
  # The harnesses print the launcher's own diagnostic lines on stdout.
  if "$harness" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -print_final_stats=1 \
      -artifact_prefix="$build/fuzz-artifacts/$name-" "$work" "$seeds" >/dev/null 2>"$log"; then
    runs=$(grep -o 'stat::number_of_executed_units: *[0-9]*' "$log" | grep -o '[0-9]*$' || echo "?")
    echo "$name: $runs executions in ${seconds} s, no failure"
  else
    echo "$name: FAILED (log $log)"
    grep -E 'ERROR|SUMMARY|Test unit written' "$log" | head -5 || true
    status=1
  fi
done
exit $status
