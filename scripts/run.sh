#!/usr/bin/env bash
# Installs what is missing, builds, and starts zemo.exe under Wine (LANG=zh_CN.UTF-8).
# With a directory, the program opens with that directory read into its file list.
# On a desktop (DISPLAY set) the program runs in its window until you close it. Without a
# display it runs on a virtual screen, a screenshot is saved to build/screenshot.png, and
# the program is ended.
# Usage: scripts/run.sh [directory]
set -euo pipefail
source "$(dirname "$0")/lib.sh"

zemo_prepare
bin=$ZEMO_BIN
export LANG=zh_CN.UTF-8 LC_ALL=zh_CN.UTF-8

# The directory goes on the program's command line, as "Open with" would pass it.
arguments=()
if [ -n "${1:-}" ]; then
  [ -d "$1" ] || zemo_fail "not a directory: $1"
  arguments=("$(zemo_windows_path "$(realpath "$1")")")
fi

if [ -n "${DISPLAY:-}" ] && xdotool getdisplaygeometry >/dev/null 2>&1; then
  exec "$ZEMO_WINE" "$bin/zemo.exe" "${arguments[@]}"
fi

# No display: a virtual screen, with Wine's own desktop drawing the window frames.
zemo_start_session
"$ZEMO_WINE" explorer /desktop=zemo,1920x1080 "$bin/zemo.exe" "${arguments[@]}" >/dev/null 2>&1 &
export ZEMO_DESKTOP=zemo  # where zemo_remote finds the program
"$ZEMO_WINE" "$bin/zemo_remote.exe" wait 2>/dev/null
sleep 1  # let the file list and the last paint reach the screen
import -window root "$ZEMO_BUILD/screenshot.png"
"$ZEMO_WINE" "$bin/zemo_remote.exe" close 2>/dev/null || true
echo "run: no display here; the program ran on a virtual screen. Screenshot: $ZEMO_BUILD/screenshot.png"
