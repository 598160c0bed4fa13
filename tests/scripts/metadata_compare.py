#!/usr/bin/env python3
"""Compares the image metadata reader with `exiftool -n` on every file of a folder.

   metadata_compare.py TOOL FOLDER

TOOL is the native metadata_tool; both print JSON with exiftool's names. A fact one of
them finds and the other does not, or finds with another value, fails the check; so does
a fact that no file in the folder holds (the check would prove nothing about it).
"""
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


if __name__ == "__main__":
    sys.exit(main())
