#!/usr/bin/env bash
# Randomised soak run: thousands of real key presses over files of random content and
# sizes, checked press by press and file by file (see tests/programs/soak.cpp).
# Usage: scripts/soak.sh [presses] [files] [seed]
set -euo pipefail
source "$(dirname "$0")/lib.sh"

zemo_setup
zemo_build release
preset=$(zemo_test_preset)
[ "$preset" = release ] || zemo_build "$preset"
bin=$ZEMO_BUILD/$preset/bin

zemo_ensure_prefix
zemo_headless_overrides
cleanup() { zemo_stop_wineserver; zemo_stop_xvfb; }
trap cleanup EXIT
zemo_start_xvfb
zemo_start_wineserver

zemo=$("$ZEMO_WINE" winepath -w "$bin/zemo.exe" 2>/dev/null | tr -d '\r')
LANG=zh_CN.UTF-8 "$ZEMO_WINE" "$bin/soak.exe" "$zemo" "${1:-2000}" "${2:-200}" "${3:-20261206}"
