#!/usr/bin/env bash
# Runs the high-DPI layout and key legend tests in a Wine prefix of its own whose system DPI (LogPixels)
# is 144, so a failed run can never leave the shared prefix at 144. The prefix is made
# once (about 20 seconds) and kept in the build tree.
# Usage: high_dpi_test.sh e2e_tests.exe prefix-folder
set -euo pipefail
tests=$1
export WINEPREFIX=$(realpath -m "$2")
source "$(dirname "$0")/../../scripts/lib.sh"

zemo_ensure_prefix
trap zemo_stop_wineserver EXIT
zemo_start_wineserver
"$ZEMO_WINE" reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d 144 /f \
  >/dev/null 2>&1 || zemo_fail "could not set LogPixels in $WINEPREFIX"
ZEMO_EXPECTED_DPI=144 "$ZEMO_WINE" "$tests" --gtest_filter='HighDpiLayout.*'
