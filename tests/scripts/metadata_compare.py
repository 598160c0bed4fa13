#!/usr/bin/env python3
"""Compares the image metadata reader with `exiftool -n` on every file of a folder.

   metadata_compare.py TOOL FOLDER
   metadata_compare.py --raw TOOL FOLDER
   metadata_compare.py --thumbnails FOLDER

TOOL is the native metadata_tool; both print JSON with exiftool's names. A fact one of
them finds and the other does not, or finds with another value, fails the check; so does
a fact that no file in the folder holds (the check would prove nothing about it).

With --raw the folder holds camera RAW files (tests/scripts/raw_corpus.py): the bytes of
the embedded JPEG the reader chooses must equal the largest of the JpgFromRaw,
PreviewImage, OtherImage and ThumbnailImage exiftool extracts, each of those must be among
the JPEGs the reader finds, and the orientation must be exiftool's Orientation. exiftool
must find a JPEG in each file but those named "nojpeg", where neither may find one: a file
exiftool cannot read is a fault of the generator.

With --thumbnails the folder holds the end-to-end tests' JPEGs with EXIF thumbnails
(tests/programs/write_thumbnail_photos.cpp): exiftool must read each without an error or
a warning, and `exiftool -b -ThumbnailImage` must give exactly the bytes written beside it
as NAME.thumbnail.jpg.
"""
import base64
import json
import math
import os
import subprocess
import sys

FACTS = ["Orientation", "DateTimeOriginal", "SubSecTimeOriginal", "OffsetTimeOriginal",
         "Make", "Model", "ExposureTime", "FNumber", "ISO", "FocalLength", "ImageWidth",
         "ImageHeight", "ThumbnailOffset", "ThumbnailLength"]


def same(expected, found):
    if isinstance(expected, (int, float)) and not isinstance(expected, bool):
        try:
            return abs(float(found) - expected) <= 1e-9 * max(1.0, abs(expected))
        except ValueError:
            return False
    return str(expected) == str(found)


def one_decimal(value):
    text = "%.1f" % value
    return text[:-2] if text.endswith(".0") else text


def whole(value):
    return str(int(math.floor(value + 0.5)))


def facts_line(values, size):
    """The preview's facts line as exiftool's values make it (without the file's time)."""
    facts = []
    if "ImageWidth" in values and "ImageHeight" in values:
        w, h = values["ImageWidth"], values["ImageHeight"]
        if values.get("Orientation") in (5, 6, 7, 8):
            w, h = h, w
        facts.append(f"{w}\u00d7{h}")
    if "DateTimeOriginal" in values:
        t = str(values["DateTimeOriginal"])
        facts.append(t[:4] + "-" + t[5:7] + "-" + t[8:])
    make, model = str(values.get("Make", "")), str(values.get("Model", ""))
    camera = model if model.lower().startswith(make.lower()) else (make + " " + model).strip()
    if camera:
        facts.append(camera)
    exposure = []
    if "ExposureTime" in values:
        t = float(values["ExposureTime"])
        exposure.append(f"1/{whole(1 / t)} s" if t < 1 else f"{one_decimal(t)} s")
    if "FNumber" in values:
        exposure.append("f/" + one_decimal(float(values["FNumber"])))
    if "ISO" in values:
        exposure.append(f"ISO {values['ISO']}")
    if "FocalLength" in values:
        exposure.append(whole(float(values["FocalLength"])) + " mm")
    if exposure:
        facts.append(" ".join(exposure))
    mb = 1024 * 1024
    facts.append("%.1f MB" % (size / mb) if size >= mb else whole(size / 1024) + " KB")
    return " \u00b7 ".join(facts)


def main():
    tool, folder = sys.argv[1], sys.argv[2]
    files = sorted(os.path.join(folder, name) for name in os.listdir(folder))
    if not files:
        sys.exit(f"metadata_compare: no files in {folder}")
    expected = json.loads(subprocess.run(
        ["exiftool", "-n", "-j", "-G0", "-a"] + ["-" + f for f in FACTS] + files,
        check=True, capture_output=True).stdout)
    found = [json.loads(line) for line in subprocess.run(
        [tool, "print"] + files, check=True, capture_output=True, text=True).stdout.splitlines()]
    failures, seen = [], set()
    for want, got in zip(expected, found):
        name = os.path.basename(want["SourceFile"])
        # Without -a exiftool gives the first of repeated tags; the file's own frame size
        # (group File) is what it calls the image size of a JPEG.
        values = {}
        for key, value in want.items():
            group, _, fact = key.partition(":")
            if fact in FACTS and (fact not in values or group == "File"):
                values[fact] = value
        for fact in FACTS:
            if fact in values:
                seen.add(fact)
            if fact not in values and fact not in got:
                continue
            if fact not in values or fact not in got or not same(values[fact], got[fact]):
                failures.append(f"{name}: {fact}: exiftool {values.get(fact, '(none)')!r}, "
                                f"reader {got.get(fact, '(none)')!r}")
        line = facts_line(values, os.path.getsize(want["SourceFile"]))
        if line != got.get("FactsLine"):
            failures.append(f"{name}: facts line: from exiftool {line!r}, "
                            f"reader {got.get('FactsLine')!r}")
    for fact in FACTS:
        if fact not in seen:
            failures.append(f"no file holds {fact}: the corpus does not check it")
    for failure in failures:
        print("FAIL:", failure)
    print(f"metadata_compare: {len(files)} files, {len(FACTS)} facts each, "
          f"{len(failures)} differences from exiftool -n")
    return 1 if failures else 0


RAW_IMAGES = ["JpgFromRaw", "PreviewImage", "OtherImage", "ThumbnailImage"]
RAW_EXTENSIONS = (".dng", ".nef", ".cr2", ".cr3", ".arw", ".pef", ".orf", ".rw2", ".raf")


def exiftool_json(arguments, files):
    return {os.path.basename(item["SourceFile"]): item for item in json.loads(subprocess.run(
        ["exiftool", "-j"] + arguments + files, check=True, capture_output=True).stdout)}


def compare_raw(tool, folder):
    files = sorted(os.path.join(folder, name) for name in os.listdir(folder)
                   if name.lower().endswith(RAW_EXTENSIONS))
    if not files:
        sys.exit(f"metadata_compare: no RAW files in {folder}")
    # -ee: the JPEG of a CR3's first track is a sample of its media, found only so.
    images = exiftool_json(["-a", "-G1", "-b", "-ee"] + ["-" + t for t in RAW_IMAGES], files)
    orientations = exiftool_json(["-n", "-Orientation"], files)
    found = {os.path.basename(item["SourceFile"]): item for item in map(json.loads, subprocess.run(
        [tool, "raw"] + files, check=True, capture_output=True, text=True).stdout.splitlines())}
    failures = []
    for path in files:
        name = os.path.basename(path)
        jpegs = [base64.b64decode(value[len("base64:"):]) for key, value in images[name].items()
                 if key.partition(":")[2] in RAW_IMAGES and str(value).startswith("base64:")]
        want = max(jpegs, key=len) if jpegs else None
        got = found[name].get("Largest")
        if name.startswith("nojpeg"):
            if want is not None or got is not None:
                failures.append(f"{name}: a JPEG found in a file without one")
        elif want is None:
            failures.append(f"{name}: exiftool finds no JPEG: the file is built wrong")
        elif got is None:
            failures.append(f"{name}: the reader finds no JPEG")
        else:
            with open(path, "rb") as raw:
                data = raw.read()
            if data[got[0]:got[0] + got[1]] != want:
                failures.append(f"{name}: the chosen JPEG ({got[1]} bytes at {got[0]}) is not "
                                f"exiftool's largest ({len(want)} bytes)")
            met = {data[offset:offset + length] for offset, length in found[name]["Jpegs"]}
            for jpeg in jpegs:
                if jpeg not in met:
                    failures.append(f"{name}: the reader misses a JPEG exiftool finds "
                                    f"({len(jpeg)} bytes)")
        want_orientation = orientations[name].get("Orientation")
        if want_orientation != found[name].get("Orientation"):
            failures.append(f"{name}: orientation: exiftool {want_orientation!r}, "
                            f"reader {found[name].get('Orientation')!r}")
    for failure in failures:
        print("FAIL:", failure)
    print(f"metadata_compare: {len(files)} RAW files, {len(failures)} differences from exiftool")
    return 1 if failures else 0


def check_thumbnails(folder):
    photos = sorted(os.path.join(folder, name) for name in os.listdir(folder)
                    if name.endswith(".jpg") and not name.endswith(".thumbnail.jpg"))
    if not photos:
        sys.exit(f"metadata_compare: no photos in {folder}")
    found = exiftool_json(["-a", "-G1", "-Error", "-Warning", "-ImageWidth"], photos)
    failures = []
    for path in photos:
        name = os.path.basename(path)
        problems = [f"{key} {value!r}" for key, value in found[name].items()
                    if key.partition(":")[2] in ("Error", "Warning")]
        if problems or "File:ImageWidth" not in found[name]:
            failures.append(f"{name}: exiftool cannot read it cleanly: {', '.join(problems)}")
        thumbnail = subprocess.run(["exiftool", "-b", "-ThumbnailImage", path], check=True,
                                   capture_output=True).stdout
        with open(path[:-len(".jpg")] + ".thumbnail.jpg", "rb") as written:
            if written.read() != thumbnail:
                failures.append(f"{name}: the thumbnail exiftool extracts ({len(thumbnail)} "
                                "bytes) is not the one written")
    for failure in failures:
        print("FAIL:", failure)
    print(f"metadata_compare: {len(photos)} photos with thumbnails, {len(failures)} faults")
    return 1 if failures else 0


if __name__ == "__main__":
    if sys.argv[1] == "--thumbnails":
        sys.exit(check_thumbnails(sys.argv[2]))
    if sys.argv[1] == "--raw":
        sys.exit(compare_raw(sys.argv[2], sys.argv[3]))
    sys.exit(main())
