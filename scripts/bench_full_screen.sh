#!/usr/bin/env bash
# Full screen and the 1:1 zoom (see tests/programs/bench_full_screen.cpp): F11 and Esc on a
# focused 24-megapixel JPEG until the monitor, then the window's pane, shows it; Z to 1:1
# until the photo's own pixels show, first while they are decoded and then once they
# exist, in the pane and in full screen; zemo.exe's peak memory stepping at 1:1 through
# such photos and zoomed on a 10000 x 10000 PNG, with the note its corner shows. Each
# beside the imaging component's bare decode of the same file. The photos are written on
# the first run into build/bench and kept.
# Usage: scripts/bench_full_screen.sh
set -euo pipefail
source "$(dirname "$0")/lib.sh"

zemo_bench_session
echo "machine: $(nproc) cores, load $(cut -d' ' -f1-3 /proc/loadavg)"

data=$ZEMO_BUILD/bench
mkdir -p "$data"
echo "full screen and 1:1 zoom (${ZEMO_PRESET:-} build; decode workers: ${ZEMO_DECODE_WORKERS:-default}):"
LANG=zh_CN.UTF-8 "$ZEMO_WINE" "$ZEMO_BIN/bench_full_screen.exe" \
  "$(zemo_windows_path "$data/full-screen-jpeg")" "$(zemo_windows_path "$data/full-screen-png")" \
  2>/dev/null
