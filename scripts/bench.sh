#!/usr/bin/env bash
# Speed and memory of the file list and of start-up, each against a baseline measured in
# the same run on the same display. Best of three runs, in milliseconds; every program is
# started fresh for each run.
# File list: directories of 1,000, 10,000 and 100,000 empty files; for each: the directory
# read alone (FindFirstFileW loop), a minimal program filling a bare list view with redraw
# off, and zemo.exe from the click on "读取文件列表" until it shows the last row, with the
# ratios of zemo to both; then the time to the first screen of rows, the time FindFirstFileW
# alone takes to return the first entry (Wine reads the whole directory first) and their
# difference; and the anonymous resident memory (RssAnon) of the zemo process before the
# read and with every row in the list, in MB.
# Start-up: process start to the window painted and idle, for a minimal program showing a
# window of the main window's size with the same media player control, for zemo.exe
# without rules and with 700 rules; the ratios zemo / minimal and 700 rules / none, for the
# best of seven starts and for their median.
# Orders: see tests/programs/bench_order.cpp.
# Pace: the preview at five and two Down presses a second and with Down held
# (tests/programs/bench_pace.cpp).
# Full screen: F11 and Esc, Z to 1:1 with the photo's own pixels decoded, and the peak
# memory of those decodes (tests/programs/bench_full_screen.cpp).
# Window: the worst of 50 layout passes of the main window with 100,000 rows listed, and the
# key legend of 700 rules drawn, against a bare window's size changes and the 700 texts drawn
# plainly (tests/programs/bench_window.cpp).
# Usage: scripts/bench.sh [sizes...]
set -euo pipefail
source "$(dirname "$0")/lib.sh"

sizes=("$@")
[ ${#sizes[@]} -gt 0 ] || sizes=(1000 10000 100000)

zemo_prepare
bin=$ZEMO_BIN

data=$ZEMO_BUILD/bench
mkdir -p "$data"
for n in "${sizes[@]}"; do
  dir=$data/files-$n
  if [ "$(find "$dir" -maxdepth 1 -type f 2>/dev/null | wc -l)" -ne "$n" ]; then
    rm -rf "$dir" && mkdir -p "$dir"
    (cd "$dir" && seq -f "photo-%06g.jpg" 1 "$n" | xargs touch)
  fi
done

zemo_headless_overrides
zemo_start_session

echo "zemo.exe: $ZEMO_PRESET build; Wine $("$ZEMO_WINE" --version 2>/dev/null || true)"
echo "machine: $(nproc) cores, $(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2- | sed 's/^ *//')"
echo
echo "file list (ms; memory in MB; targets: z/list <= 0.7, z/read <= 1.3, first screen <= 150"
echo "or, under Wine, after-entry <= 50; memory with all rows <= 40)"
printf "%8s %9s %9s %9s %7s %7s %9s %9s %9s %7s %7s\n" files read "list view" zemo "z/list" \
  "z/read" first "1st entry" "after" "mem0" "mem"
for n in "${sizes[@]}"; do
  LANG=zh_CN.UTF-8 "$ZEMO_WINE" "$bin/bench_file_list.exe" "$(zemo_windows_path "$data/files-$n")" \
    "$(zemo_windows_path "$bin/zemo.exe")" 3 2>/dev/null
done
echo
echo "start-up (ms; targets: zemo/minimal <= 1.2, 700 rules/none <= 1.2; best of 7, then median)"
printf "%10s %10s %10s %10s %10s\n" minimal zemo "700 rules" "z/minimal" "700/none"
LANG=zh_CN.UTF-8 "$ZEMO_WINE" "$bin/bench_file_list.exe" --startup \
  "$(zemo_windows_path "$bin/zemo.exe")" 7 2>/dev/null
echo
echo "window (ms; targets: the worst layout pass at 100,000 rows <= 16, the legend of 700 rules <= 50;"
echo "  then the same resizes of a bare window holding only a plain list view of 100,000 rows)"
printf "%10s %10s %8s %10s %10s %8s\n" resize "bare" "r/bare" legend "700 texts" "l/texts"
LANG=zh_CN.UTF-8 "$ZEMO_WINE" "$bin/bench_window.exe" 2>/dev/null
ZEMO_BENCH_SESSION=1 ZEMO_BIN=$bin "$(dirname "$0")/bench_preview.sh"
ZEMO_BENCH_SESSION=1 ZEMO_BIN=$bin ZEMO_PRESET=$ZEMO_PRESET "$(dirname "$0")/bench_pace.sh"
ZEMO_BENCH_SESSION=1 ZEMO_BIN=$bin ZEMO_PRESET=$ZEMO_PRESET "$(dirname "$0")/bench_full_screen.sh"
ZEMO_BENCH_SESSION=1 ZEMO_BIN=$bin "$(dirname "$0")/bench_copy.sh"
echo
echo "Orders: natural order of 100,000 names against an ordinal sort, capture times of 10,000"
echo "JPEGs (warm) against opening them, re-ordering 100,000 rows of a list view"
mkdir -p "$data/order-jpegs"
LANG=zh_CN.UTF-8 "$ZEMO_WINE" "$bin/bench_order.exe" "$(zemo_windows_path "$data/order-jpegs")" 2>/dev/null
