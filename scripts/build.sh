#!/usr/bin/env bash
# Installs what is missing and builds zemo.exe (build/release/bin/zemo.exe).
set -euo pipefail
source "$(dirname "$0")/lib.sh"
zemo_setup
zemo_build "${1:-release}"
