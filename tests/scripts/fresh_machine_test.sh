#!/usr/bin/env bash
# The README's commands on a machine where nothing is installed yet: with only a few
# basic tools on PATH, Wine's own folder hidden and the package installer stubbed, each
# script must get as far as installing what is missing, and every script that stops says
# why on stderr. Exit 77 (skipped) where a private mount namespace is refused.
set -uo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
skipped=77

if ! unshare -m true 2>/dev/null; then
  echo "skipped: this user may not create a mount namespace, so /usr/lib/wine cannot be hidden"
  exit $skipped
fi

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fresh=$work/bin
mkdir -p "$fresh"
# What a minimal Debian 12 has; deliberately no Wine, MinGW, CMake, Ninja or Xvfb.
for tool in bash sh dirname basename cat grep sed id seq tr realpath env mkdir rm ls head tail \
            printf sort uname readlink mktemp cp mv touch locale tee date sleep; do
  path=$(command -v "$tool") && ln -s "$path" "$fresh/$tool"
done
# The package tools answer as on a machine with nothing installed; the installer records
# that it was reached and stops the run there.
cat >"$fresh/dpkg" <<'STUB'
#!/bin/bash
[ "${1:-}" = --print-foreign-architectures ] && echo i386
exit 0
STUB
cat >"$fresh/dpkg-query" <<'STUB'
#!/bin/bash
exit 1
STUB
cat >"$fresh/apt-get" <<'STUB'
#!/bin/bash
echo "apt-get $*" >>"$ZEMO_INSTALLER_LOG"
[ "${1:-}" = update ] || exit 97
STUB
chmod +x "$fresh/dpkg" "$fresh/dpkg-query" "$fresh/apt-get"

failures=0
for script in test.sh run.sh package.sh build.sh; do
  [ -f "$root/scripts/$script" ] || continue
  log=$work/$script.installer
  : >"$log"
  unshare -m bash -c '
    mount -t tmpfs tmpfs /usr/lib/wine || exit 90
    exec env -i HOME="$HOME" PATH="$1" ZEMO_INSTALLER_LOG="$2" "$3" </dev/null
  ' _ "$fresh" "$log" "$root/scripts/$script" >"$work/out" 2>"$work/err"
  status=$?
  if [ $status -eq 90 ]; then
    echo "skipped: mounting over /usr/lib/wine was refused"
    exit $skipped
  fi
  if ! grep -q '^apt-get install' "$log"; then
    echo "FAIL: scripts/$script stopped (status $status) before it installed anything"
    failures=$((failures + 1))
  elif [ $status -ne 0 ] && [ ! -s "$work/err" ]; then
    echo "FAIL: scripts/$script exited with status $status without a word on stderr"
    failures=$((failures + 1))
  else
    echo "ok: scripts/$script reached the installer ($(head -n 1 "$work/err"))"
  fi
  [ $failures -eq 0 ] || { echo "--- stdout:"; cat "$work/out"; echo "--- stderr:"; cat "$work/err"; }
done
exit $((failures > 0))
