#!/usr/bin/env python3
"""Compares the image metadata reader with `exiftool -n` on every file of a folder.

   metadata_compare.py TOOL FOLDER

TOOL is the native metadata_tool; both print JSON with exiftool's names. A fact one of
them finds and the other does not, or finds with another value, fails the check; so does
a fact that no file in the folder holds (the check would prove nothing about it).
"""
import json
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
