#!/usr/bin/env bash
# Installs what building, running and testing zemo.exe needs on Debian 12.
# Idempotent and quiet when everything is already present. Run as root.
set -euo pipefail
source "$(dirname "$0")/lib.sh"

# The 64-bit cross compiler builds the test programs where the kernel cannot run 32-bit
# code; imagemagick takes the screenshots and, with exiftool, writes the photos the image
# metadata reader is checked on; the host's g++ builds that reader natively with sanitizers.
packages=(cmake ninja-build g++-mingw-w64-i686-posix wine wine64 wine32:i386
          g++-mingw-w64-x86-64-posix xvfb xauth xdotool imagemagick locales fonts-wqy-microhei
          googletest python3 g++ libimage-exiftool-perl)

if ! dpkg --print-foreign-architectures | grep -qx i386; then
  zemo_as_root dpkg --add-architecture i386
  need_update=1
fi

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done

if [ ${#missing[@]} -gt 0 ] || [ -n "${need_update:-}" ]; then
  echo "setup: installing ${missing[*]}"
  export DEBIAN_FRONTEND=noninteractive
  zemo_as_root apt-get update -qq
  zemo_as_root apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi

if ! locale -a 2>/dev/null | grep -qi '^zh_CN\.utf8$'; then
  echo "setup: generating the zh_CN.UTF-8 locale"
  zemo_as_root sed -i 's/^# *\(zh_CN.UTF-8 UTF-8\)/\1/' /etc/locale.gen
  grep -q '^zh_CN.UTF-8 UTF-8' /etc/locale.gen || echo 'zh_CN.UTF-8 UTF-8' | zemo_as_root tee -a /etc/locale.gen >/dev/null
  zemo_as_root locale-gen >/dev/null
fi
