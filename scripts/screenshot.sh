#!/usr/bin/env bash
# Draws docs/screenshot.png: the real program in the middle of a sorting session, with a
# directory read, three rules, a few files already sorted, and a photo in the preview
# pane. The photos are real images drawn by ImageMagick. For the README.
set -euo pipefail
source "$(dirname "$0")/lib.sh"

zemo_prepare
bin=$ZEMO_BIN
zemo_headless_overrides
export LANG=zh_CN.UTF-8 LC_ALL=zh_CN.UTF-8

demo=$ZEMO_BUILD/demo
rm -rf "$demo" && mkdir -p "$demo/program" "$demo/照片 2026" "$demo/精选" "$demo/归档"
cp "$bin/zemo.exe" "$demo/program/"
photos=(春节-01.jpg 春节-02.jpg 春节-03.jpg IMG_2041.jpg IMG_2042.jpg)
seed=1
for name in "${photos[@]}"; do
  # A landscape: sky, a sun, hills in the seed's colours.
  convert -size 1600x1200 gradient:'#5b9bd5'-'#fce4b8' \
    -fill '#ffd54a' -draw "circle $((500 + seed * 120)),380 $((560 + seed * 120)),380" \
    \( -size 1600x1200 -seed "$seed" plasma:fractal -blur 0x3 -colorspace Gray \
       +level-colors '#1b5e20,#aed581' \) \
    \( -size 1600x1200 xc:black -fill white -draw "polygon 0,1200 0,$((760 + seed * 20)) 400,650 900,$((820 - seed * 30)) 1300,700 1600,$((780 + seed * 10)) 1600,1200" \) \
    -composite -quality 88 "$demo/照片 2026/$name"
  seed=$((seed + 1))
done
for name in 会议录音.mp3 旅行.mp4 家庭聚会.mp4 发票.pdf; do
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
# A photo still in the directory goes into the preview pane.
for name in "${photos[@]}"; do
  if [ -f "$demo/照片 2026/$name" ]; then
    remote select "$name"
    break
  fi
done
sleep 2  # let the photo's decode and the last paint reach the screen
import -window root -crop 1070x640+425+220 +repage "$ZEMO_ROOT/docs/screenshot.png"
remote close || true
echo "screenshot: $ZEMO_ROOT/docs/screenshot.png"
