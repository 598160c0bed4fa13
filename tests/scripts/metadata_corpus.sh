#!/usr/bin/env bash
# Writes the photos the image metadata reader is checked on into FOLDER: JPEG and TIFF
# files made by ImageMagick, with EXIF tags written by exiftool in both byte orders, an
# EXIF thumbnail, a multi-page TIFF (an IFD chain) and files without any EXIF.
#   tests/scripts/metadata_corpus.sh FOLDER
set -euo pipefail
out=${1:?usage: metadata_corpus.sh FOLDER}
command -v convert >/dev/null || { echo "metadata_corpus.sh: ImageMagick's convert is missing (scripts/setup.sh installs it)" >&2; exit 1; }
command -v exiftool >/dev/null || { echo "metadata_corpus.sh: exiftool is missing (scripts/setup.sh installs it)" >&2; exit 1; }
rm -rf "$out"
mkdir -p "$out"
cd "$out"
tag() { exiftool -q -q -overwrite_original "$@"; }

convert -size 16x12 xc:green jpg:thumbnail.part
# Every fact, big-endian EXIF (exiftool's default for a new segment), with a thumbnail.
convert -size 64x48 gradient:red-blue full-mm.jpg
tag -DateTimeOriginal='2024:05:06 07:08:09' -SubSecTimeOriginal=123 -OffsetTimeOriginal=+09:00 \
    -Make=Zemo -Model='Test Camera 1' -ExposureTime=0.004 -FNumber=2.8 -ISO=400 \
    -FocalLength=35 -Orientation#=6 '-ThumbnailImage<=thumbnail.part' full-mm.jpg
# Little-endian EXIF, other values.
convert -size 33x65 gradient:white-black full-ii.jpg
tag -ExifByteOrder=II -DateTimeOriginal='1999:12:31 23:59:58' -SubSecTimeOriginal=045 \
    -OffsetTimeOriginal=-05:30 -Make='A Long Camera Maker Name Inc.' -Model=X \
    -ExposureTime=1/8000 -FNumber=16 -ISO=12800 -FocalLength=4.25 -Orientation#=8 \
    '-ThumbnailImage<=thumbnail.part' full-ii.jpg
# A few facts only, each orientation once.
for o in 1 2 3 4 5 7; do
  convert -size 20x10 xc:blue "orientation-$o.jpg"
  tag -Orientation#=$o -ExposureTime=30 "orientation-$o.jpg"
done
# A model that names its make; a long exposure in tenths; a file above 1 MB.
convert -size 1200x900 plasma:fractal -quality 100 named-model.jpg
tag -Make=NIKON -Model='NIKON D850' -ExposureTime=2.5 -FNumber=4 -FocalLength=23.6 \
    named-model.jpg
# No EXIF at all: only the frame size.
convert -size 100x7 xc:red plain.jpg
# TIFF files in both byte orders, with tags in IFD0 and the EXIF directory.
convert -size 40x30 xc:white -define tiff:endian=lsb tiff-ii.tif
convert -size 41x31 xc:white -define tiff:endian=msb tiff-mm.tif
for f in tiff-ii.tif tiff-mm.tif; do
  tag -Make=Zemo -Model="$f" -Orientation#=3 -DateTimeOriginal='2020:02:29 12:00:00' \
      -FNumber=5.6 -ISO=100 -FocalLength=50 "$f"
done
# Two pages: IFD1 is the second page, not a thumbnail.
convert -size 12x8 xc:white -size 6x4 xc:black pages.tif
rm thumbnail.part
