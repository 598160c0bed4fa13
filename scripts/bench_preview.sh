#!/usr/bin/env bash
# Speed and memory of the photo preview (see tests/programs/bench_preview.cpp): Down
# pressed once a second through 24-megapixel JPEGs, the time until each next photo is on
# the screen (median and worst) next to the imaging component's bare decode of the same
# files; a 30 MB NEF around such a JPEG (the bytes read to show it, the cold decode beside
# the bare one) and stepping through NEFs; zemo.exe's peak memory for a 100-megapixel PNG. The photos are written on the
# first run into build/bench and kept.
# Usage: scripts/bench_preview.sh [steps]   (50 by default)
set -euo pipefail
source "$(dirname "$0")/lib.sh"

zemo_bench_session

data=$ZEMO_BUILD/bench
mkdir -p "$data"
echo "photo preview:"
LANG=zh_CN.UTF-8 "$ZEMO_WINE" "$ZEMO_BIN/bench_preview.exe" "$(zemo_windows_path "$data/preview-jpeg")" \
  "$(zemo_windows_path "$data/preview-png")" "${1:-50}" 2>/dev/null
