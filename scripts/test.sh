#!/usr/bin/env bash
# Installs what is missing, builds, checks the product and its release package, and runs
# every test under Wine on an Xvfb display.
# The exit status is the result of the tests. Extra arguments go to ctest
# (for example: scripts/test.sh -R unit_tests).
# ZEMO_TEST_DISPLAY=:n runs the tests on an existing display instead of a new Xvfb.
set -euo pipefail
source "$(dirname "$0")/lib.sh"

zemo_prepare
package=$("$ZEMO_ROOT/scripts/package.sh")
python3 "$ZEMO_ROOT/scripts/check_product.py" "$ZEMO_BUILD/release/bin/zemo.exe" "$package"
zemo_headless_overrides
zemo_start_session
ctest --test-dir "$ZEMO_BUILD/$ZEMO_PRESET" --output-on-failure "$@"
