#!/usr/bin/env bash
# Background copy speed: a 1 GB copy through zemo.exe as a ratio to a plain CopyFileW of
# the same file in the same run, and the worst time the window took to answer meanwhile
# (see tests/programs/bench_copy.cpp); then comparing two identical 1 GB files, as a copy
# onto a taken name does, as a ratio to a bare loop reading both once in the same run (see
# tests/programs/bench_compare.cpp). Called by bench.sh; runs alone as well.
# Usage: scripts/bench_copy.sh [rounds]   (at least 3; 5 when not given)
set -euo pipefail
source "$(dirname "$0")/lib.sh"

zemo_bench_session
rounds=${1:-5}
[ "$rounds" -ge 3 ] || zemo_fail "at least 3 rounds, for a best and a median that mean something"
# Other work on the machine changes every figure: the load goes with them.
echo "background copy (load average before: $(cut -d' ' -f1-3 /proc/loadavg)):"
LANG=zh_CN.UTF-8 "$ZEMO_WINE" "$ZEMO_BIN/bench_copy.exe" \
  "$(zemo_windows_path "$ZEMO_BIN/zemo.exe")" "$rounds" 2>/dev/null
echo "  load average after: $(cut -d' ' -f1-3 /proc/loadavg)"
data=$ZEMO_BUILD/bench
mkdir -p "$data"
echo "comparing identical files (load average before: $(cut -d' ' -f1-3 /proc/loadavg)):"
LANG=zh_CN.UTF-8 "$ZEMO_WINE" "$ZEMO_BIN/bench_compare.exe" "$(zemo_windows_path "$data")" \
  "$rounds" 2>/dev/null
echo "  load average after: $(cut -d' ' -f1-3 /proc/loadavg)"
