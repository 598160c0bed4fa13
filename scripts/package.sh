#!/usr/bin/env bash
# Builds the release package build/dist/zemo-<version>-win32.zip: zemo.exe (the 32-bit
# product), the user guide 使用说明.txt (UTF-8 with a byte order mark and CRLF line ends,
# so Notepad on a Chinese Windows shows it) and the licence. Prints the package's path.
set -euo pipefail
source "$(dirname "$0")/lib.sh"

zemo_setup >&2
zemo_build release >/dev/null
version=$(sed -n 's/^project(zemo VERSION \([0-9.]*\).*/\1/p' "$ZEMO_ROOT/CMakeLists.txt")
[ -n "$version" ] || zemo_fail "no project(zemo VERSION ...) in CMakeLists.txt"

dist=$ZEMO_BUILD/dist
stage=$dist/zemo-$version-win32
package=$stage.zip
rm -rf "$stage" "$package"
mkdir -p "$stage"
cp "$ZEMO_BUILD/release/bin/zemo.exe" "$stage/"
{ printf '\xef\xbb\xbf'; sed 's/$/\r/' "$ZEMO_ROOT/res/使用说明.txt"; } >"$stage/使用说明.txt"
sed 's/$/\r/' "$ZEMO_ROOT/LICENSE" >"$stage/LICENSE.txt"
# The names are stored as UTF-8 (flagged as such) whatever the caller's locale.
(cd "$stage" && LC_ALL=C.UTF-8 cmake -E tar cf "$package" --format=zip zemo.exe 使用说明.txt LICENSE.txt)
echo "$package"
