#!/usr/bin/env bash
# Installs what is missing, builds, checks the product and its release package, and runs
# every test under Wine on an Xvfb display; then the image metadata reader's checks, built
# natively with sanitizers (its unit tests, the comparison with exiftool, 50,000 damaged
# files).
# The exit status is the result of the tests. Extra arguments go to ctest
# (for example: scripts/test.sh -R unit_tests).
# ZEMO_TEST_DISPLAY=:n runs the tests on an existing display instead of a new Xvfb.
set -euo pipefail
source "$(dirname "$0")/lib.sh"

zemo_prepare
zemo_build host-sanitize
package=$("$ZEMO_ROOT/scripts/package.sh")
python3 "$ZEMO_ROOT/scripts/check_product.py" "$ZEMO_BUILD/release/bin/zemo.exe" "$package"
zemo_headless_overrides
zemo_start_session
# A file system of 1 MB for the full-disk tests. Mounting it needs root; elsewhere those
# tests skip with a message.
small_volume=$(mktemp -d)
if mount -t tmpfs -o size=1m tmpfs "$small_volume" 2>/dev/null; then
  ZEMO_TEST_SMALL_VOLUME=$(zemo_windows_path "$small_volume")
  export ZEMO_TEST_SMALL_VOLUME
fi
status=0
ctest --test-dir "$ZEMO_BUILD/$ZEMO_PRESET" --output-on-failure "$@" || status=$?
ctest --test-dir "$ZEMO_BUILD/host-sanitize" --output-on-failure "$@" || status=$?
umount "$small_volume" 2>/dev/null || true
rmdir "$small_volume"
exit $status
