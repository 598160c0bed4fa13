#!/usr/bin/env bash
# Draws docs/screenshot.png: the real program in the middle of a sorting session, with a
# directory read, three rules, and a few files already sorted. For the README.
set -euo pipefail
source "$(dirname "$0")/lib.sh"

zemo_prepare
bin=$ZEMO_BIN
zemo_headless_overrides
export LANG=zh_CN.UTF-8 LC_ALL=zh_CN.UTF-8

demo=$ZEMO_BUILD/demo
rm -rf "$demo" && mkdir -p "$demo/program" "$demo/照片 2026" "$demo/精选" "$demo/归档"
cp "$bin/zemo.exe" "$demo/program/"
for name in 春节-01.jpg 春节-02.jpg 春节-03.jpg 会议录音.mp3 旅行.mp4 家庭聚会.mp4 IMG_2041.jpg IMG_2042.jpg 发票.pdf; do
  head -c 4096 /dev/urandom > "$demo/照片 2026/$name"
done
printf '[快捷键配置]\r\n1=复制文件|%s\r\n2=移动文件|%s\r\n3=移动文件|%s\r\n' \
  "$(zemo_windows_path "$demo/精选")" "$(zemo_windows_path "$demo/归档")" "$(zemo_windows_path "$demo/回收")" | iconv -f UTF-8 -t GBK > "$demo/program/config.ini"

zemo_start_session
"$ZEMO_WINE" explorer /desktop=zemo,1920x1080 "$demo/program/zemo.exe" >/dev/null 2>&1 &
export ZEMO_DESKTOP=zemo
remote() { "$ZEMO_WINE" "$bin/zemo_remote.exe" "$@" 2>/dev/null; }
remote wait
remote load "$(zemo_windows_path "$demo/照片 2026")"
remote sort 0 1
remote sort 1 2
remote sort 2 1
remote sort 2 1
remote sort 3 3
sleep 1  # let the last paint reach the screen
import -window root -crop 1070x640+425+220 +repage "$ZEMO_ROOT/docs/screenshot.png"
remote close || true
echo "screenshot: $ZEMO_ROOT/docs/screenshot.png"
