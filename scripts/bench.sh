#!/usr/bin/env bash
# Loading speed of the file list. Creates directories of 1,000, 10,000 and 100,000 empty
# files and prints, for each, measured in one run on the same display: a bare enumeration
# (FindFirstFileW loop), a minimal program filling a bare list view with redraw off, the
# same minimal program with the file list's styles, and zemo.exe from the click on
# "读取文件列表" until it shows the last row; then the ratio of zemo to the bare list view
# and to enumeration plus the styled fill. Best of three runs, in milliseconds; every
# program is started fresh for each run.
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
printf "%8s %10s %10s %10s %10s %8s %8s\n" files enumerate "list view" styled zemo "z/list" "z/(e+s)"
for n in "${sizes[@]}"; do
  LANG=zh_CN.UTF-8 "$ZEMO_WINE" "$bin/bench_file_list.exe" "$(zemo_windows_path "$data/files-$n")" \
    "$(zemo_windows_path "$bin/zemo.exe")" 3 2>/dev/null
done
ZEMO_BENCH_SESSION=1 ZEMO_BIN=$bin "$(dirname "$0")/bench_preview.sh"
ZEMO_BENCH_SESSION=1 ZEMO_BIN=$bin "$(dirname "$0")/bench_copy.sh"
