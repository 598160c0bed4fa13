#!/usr/bin/env bash
# Randomised soak run: thousands of real key presses over files of random content and
# sizes, checked press by press and file by file (see tests/programs/soak.cpp).
# With "keep-both" the option "重名时保留两者" is on and many names are taken in the targets.
# With "move-on" the option "处理后下一个" is on and rule keys come 5 a second, each acting on
# the row the focus moved on to.
# Usage: scripts/soak.sh [presses] [files] [seed] [keep-both | move-on]
set -euo pipefail
source "$(dirname "$0")/lib.sh"

zemo_prepare
zemo_headless_overrides
zemo_start_session
LANG=zh_CN.UTF-8 "$ZEMO_WINE" "$ZEMO_BIN/soak.exe" "$(zemo_windows_path "$ZEMO_BIN/zemo.exe")" \
  "${1:-2000}" "${2:-200}" "${3:-20261206}" ${4:+"$4"}
