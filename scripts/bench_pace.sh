#!/usr/bin/env bash
# How the photo preview keeps up with the hand (see tests/programs/bench_pace.cpp): Down
# pressed five and two times a second through forty 24-megapixel JPEGs with EXIF
# thumbnails, and held for 3 s over 200 photos; the times until the right photo and its
# sharp image are on the screen, the decodes started, zemo.exe's peak memory, each beside
# the imaging component's bare decode of the same files. The photos are written on the
# first run into build/bench and kept.
# Usage: scripts/bench_pace.sh
set -euo pipefail
source "$(dirname "$0")/lib.sh"

zemo_bench_session

data=$ZEMO_BUILD/bench
mkdir -p "$data"
echo "preview at the pace of the hand ($ZEMO_PRESET build; decode workers: ${ZEMO_DECODE_WORKERS:-default}):"
LANG=zh_CN.UTF-8 "$ZEMO_WINE" "$ZEMO_BIN/bench_pace.exe" "$(zemo_windows_path "$data/pace-large")" \
  "$(zemo_windows_path "$data/pace-many")" 2>/dev/null
