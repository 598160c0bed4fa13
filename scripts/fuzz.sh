#!/usr/bin/env bash
# Fuzzing the rules: the in-process fuzz test with the full count, then the real program
# started on random config.ini files (each start must show the main window and, closed,
# exit with code 0); then the image metadata reader, built natively with sanitizers, on
# damaged copies of the photos ImageMagick and exiftool write and of the
# synthetic camera RAW files. Prints the counts.
#   scripts/fuzz.sh [cases=100000] [starts=300] [seed=1] [metadata cases=1000000]
# ZEMO_TEST_DISPLAY=:n uses an existing display.
set -euo pipefail
source "$(dirname "$0")/lib.sh"
cases=${1:-100000}
starts=${2:-300}
seed=${3:-1}
metadata_cases=${4:-1000000}

zemo_prepare
zemo_build host-sanitize
metadata_corpus=$ZEMO_BUILD/host-sanitize/metadata-corpus
bash "$ZEMO_ROOT/tests/scripts/metadata_corpus.sh" "$metadata_corpus"
raw_corpus=$ZEMO_BUILD/host-sanitize/raw-corpus
python3 "$ZEMO_ROOT/tests/scripts/raw_corpus.py" "$raw_corpus"
"$ZEMO_BUILD/host-sanitize/tests/native/metadata_tool" fuzz --seed="$seed" \
  --count="$metadata_cases" "$metadata_corpus" "$raw_corpus"
zemo_headless_overrides
zemo_start_session
export LANG=zh_CN.UTF-8 LC_ALL=zh_CN.UTF-8

"$ZEMO_WINE" "$ZEMO_BIN/rule_fuzz_tests.exe" --seed="$seed" --count="$cases" 2>/dev/null |
  grep -E "rule fuzz|FAILED|replay"

work=$(mktemp -d)
trap 'rm -rf "$work"; zemo_stop_wineserver; zemo_stop_xvfb' EXIT
cp "$ZEMO_BIN/zemo.exe" "$work/zemo.exe"
shown=0 clean=0 failed=0
for i in $(seq 1 "$starts"); do
  # A random config.ini: rule lines, GBK bytes, marks of the format, raw bytes.
  python3 - "$work/config.ini" "$((seed * 100000 + i))" <<'PY'
import random, sys
r = random.Random(int(sys.argv[2]))
section = "快捷键配置".encode("gbk")
marks = [b"=", b"|", b";", b"[", b"]", b" ", b"\t", b"\r", b"\n", b"\r\n", b"\x00", b"\\",
         "复制文件".encode("gbk"), "移动文件".encode("gbk"), b"\x81\x7c", b"\xa1\xa1", b"D:\\"]
out = b""
for _ in range(r.randint(1, 4)):
    out += (b"[" + section + b"]" if r.random() < 0.7 else b"[x]") + b"\r\n"
    for _ in range(r.randint(0, 60)):
        line = b"".join(r.choice(marks) if r.random() < 0.5 else bytes([r.randint(0, 255)])
                        for _ in range(r.randint(0, 40)))
        out += (b"F%d=" % r.randint(1, 12) if r.random() < 0.5 else b"") + line + b"\r\n"
open(sys.argv[1], "wb").write(out)
PY
  "$ZEMO_WINE" "$work/zemo.exe" >/dev/null 2>&1 &
  pid=$!
  if "$ZEMO_WINE" "$ZEMO_BIN/zemo_remote.exe" wait 2>/dev/null; then
    shown=$((shown + 1))
    "$ZEMO_WINE" "$ZEMO_BIN/zemo_remote.exe" close 2>/dev/null || true
  fi
  if wait "$pid"; then clean=$((clean + 1)); else failed=$((failed + 1)); kill "$pid" 2>/dev/null || true; fi
done
echo "program starts: $starts random config.ini files, main window shown $shown, exit code 0 $clean, other $failed"
[ "$shown" -eq "$starts" ] && [ "$clean" -eq "$starts" ]
