#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test under Wine on an Xvfb display.
# The exit status is the result of the tests. Extra arguments go to ctest
# (for example: scripts/test.sh -R unit_tests).
# ZEMO_TEST_DISPLAY=:n runs the tests on an existing display instead of a new Xvfb.
set -euo pipefail
source "$(dirname "$0")/lib.sh"

zemo_setup
zemo_build release
python3 "$ZEMO_ROOT/scripts/check_product.py" "$ZEMO_BUILD/release/bin/zemo.exe"
preset=$(zemo_test_preset)
if [ "$preset" != release ]; then
  echo "test: this kernel cannot run 32-bit code; testing the 64-bit build of the same sources"
  zemo_build "$preset"
fi

zemo_ensure_prefix
zemo_headless_overrides
cleanup() {
  zemo_stop_wineserver
  zemo_stop_xvfb
}
trap cleanup EXIT

if [ -n "${ZEMO_TEST_DISPLAY:-}" ]; then
  export DISPLAY=$ZEMO_TEST_DISPLAY
else
  zemo_start_xvfb
fi
zemo_start_wineserver

ctest --test-dir "$ZEMO_BUILD/$preset" --output-on-failure "$@"
