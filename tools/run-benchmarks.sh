#!/usr/bin/env bash
# Runs every benchmark program in the given folder and reports medians.
set -euo pipefail
dir="$1"
status=0
for b in "$dir"/bench_*; do
  [ -f "$b" ] && [ -x "$b" ] || continue
  echo "== $(basename "$b")"
  "$b" --benchmark_repetitions=5 --benchmark_report_aggregates_only=true || status=1
done
exit $status
