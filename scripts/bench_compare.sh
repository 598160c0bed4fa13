#!/usr/bin/env bash
# Comparing two identical 1 GB files, as a copy onto a taken name does, as a ratio to a bare
# loop reading both once in the same run (see tests/programs/bench_compare.cpp). Called by
# bench.sh; runs alone as well.
# Usage: scripts/bench_compare.sh [rounds]   (at least 3; 5 when not given)
set -euo pipefail
source "$(dirname "$0")/lib.sh"

zemo_headless_overrides
if [ -z "${ZEMO_BENCH_SESSION:-}" ]; then
  zemo_prepare
  zemo_start_session
fi
data=$ZEMO_BUILD/bench
mkdir -p "$data"
echo "comparing identical files (load average before: $(cut -d' ' -f1-3 /proc/loadavg)):"
LANG=zh_CN.UTF-8 "$ZEMO_WINE" "$ZEMO_BIN/bench_compare.exe" "$(zemo_windows_path "$data")" \
  "${1:-5}" 2>/dev/null
echo "  load average after: $(cut -d' ' -f1-3 /proc/loadavg)"
