#!/usr/bin/env python3
"""Writes synthetic camera RAW files into FOLDER, each laid out as its format's published
structure describes: the sensor data is filler, the embedded JPEGs are real (made by
ImageMagick), of distinct colours and sizes, and every file records an orientation.

   raw_corpus.py FOLDER [--large]

--large adds big.nef: some 30 MB with a 6000 x 4000 JPEG inside, for the benchmark.
FOLDER/expected.txt names, a line per file, the colour of its largest JPEG ("none" when
it holds none) and its orientation.
"""
import collections
import os
import struct
import subprocess
import sys

# Colours the end-to-end tests look for; the largest JPEG of each file has one of these.
RED, GREEN, BLUE, YELLOW, MAGENTA, CYAN = ("#e61414", "#14c828", "#1e3cdc", "#e6d21e",
                                           "#c81eb4", "#1ebed2")
GREY = "#808080"  # the smaller previews

TIFF_SHORT, TIFF_LONG, TIFF_ASCII, TIFF_UNDEFINED, TIFF_BYTE = 3, 4, 2, 7, 1


def jpeg(width, height, colour, orientation=None):
    """A baseline JPEG of one colour; with an EXIF segment holding the orientation when given."""
    data = subprocess.run(["convert", "-size", f"{width}x{height}", f"xc:{colour}", "-strip",
                           "-quality", "92", "jpg:-"], check=True, capture_output=True).stdout
    if orientation is None:
        return data
    tiff = Tiff("<")
    tiff.chain([[(0x112, TIFF_SHORT, [orientation])]])
    exif = b"Exif\0\0" + tiff.bytes()
    return data[:2] + b"\xff\xe1" + struct.pack(">H", len(exif) + 2) + exif + data[2:]


def filler(size):
    """Stands for sensor data: never starts with a JPEG marker."""
    return bytes((i * 7 + 3) & 0x7F for i in range(min(size, 4096))) * (size // 4096 + 1)


Placed = collections.namedtuple("Placed", "offset count")


def pack_values(order, kind, values):
    """The bytes and count of an entry's values: a list of numbers, or bytes/str."""
    if isinstance(values, str):
        values = values.encode() + b"\0"
    if isinstance(values, bytes):
        assert kind in (TIFF_BYTE, TIFF_ASCII, TIFF_UNDEFINED)
        return values, len(values)
    code = {TIFF_SHORT: "H", TIFF_LONG: "I", TIFF_BYTE: "B"}[kind]
    return struct.pack(order + code * len(values), *values), len(values)


def note_directory(order, entries, origin):
    """A maker note's directory followed by its longer values, as cameras write them.
    `origin` is the directory's own offset as the note's offsets count it."""
    end = origin + 2 + 12 * len(entries) + 4
    packed, values = [], b""
    for tag, kind, data in entries:
        raw, count = pack_values(order, kind, data)
        field = raw.ljust(4, b"\0")
        if len(raw) > 4:
            field = struct.pack(order + "I", end + len(values))
            values += raw + b"\0" * (len(raw) % 2)
        packed.append(struct.pack(order + "HHI", tag, kind, count) + field)
    return struct.pack(order + "H", len(packed)) + b"".join(packed) + b"\0" * 4 + values


def note_with_preview(order, entries, origin, preview):
    """A maker note's directory, its values, then the preview: entries(offset) gives the
    entries that point to the preview at that offset."""
    start = origin + len(note_directory(order, entries(0), origin))
    return note_directory(order, entries(start), origin) + preview


class Tiff:
    """A TIFF structure written back to front: blobs and child directories first, so each
    directory knows the offsets it points to."""

    def __init__(self, order, header=None):
        self.order = order
        self.data = bytearray(header or (b"II*\0" if order == "<" else b"MM\0*") + b"\0" * 4)

    def blob(self, data):
        if len(self.data) % 2:
            self.data += b"\0"
        offset = len(self.data)
        self.data += data
        return offset

    def directory(self, entries, next_offset=0):
        """entries: (tag, type, values) with values a list of numbers, bytes/str, or a
        Placed block."""
        packed = []
        for tag, kind, values in sorted(entries, key=lambda e: e[0]):
            if isinstance(values, Placed):
                packed.append(struct.pack(self.order + "HHII", tag, kind, values.count,
                                          values.offset))
                continue
            raw, count = pack_values(self.order, kind, values)
            if len(raw) > 4:
                field = struct.pack(self.order + "I", self.blob(raw))
            else:
                field = raw.ljust(4, b"\0")
            packed.append(struct.pack(self.order + "HHI", tag, kind, count) + field)
        table = struct.pack(self.order + "H", len(packed)) + b"".join(packed) + struct.pack(
            self.order + "I", next_offset)
        return self.blob(table)

    def placed(self, build):
        """Writes the bytes build(offset) makes for the offset they land at: a block whose
        own offsets count from the TIFF header."""
        offset = self.blob(b"")
        data = build(offset)
        self.data += data
        return Placed(offset, len(data))

    def chain(self, directories):
        """Writes the IFD chain (last first) and points the header at its first directory."""
        following = 0
        for entries in reversed(directories):
            following = self.directory(entries, following)
        struct.pack_into(self.order + "I", self.data, 4, following)
        return following

    def bytes(self):
        return bytes(self.data)


def strip(tiff, data, compression, width=0, height=0):
    """The entries of a directory whose image is one strip."""
    return [(0x100, TIFF_LONG, [width]), (0x101, TIFF_LONG, [height]),
            (0x103, TIFF_SHORT, [compression]), (0x111, TIFF_LONG, [tiff.blob(data)]),
            (0x117, TIFF_LONG, [len(data)])]


def interchange(tiff, data):
    """JPEGInterchangeFormat and its length."""
    return [(0x103, TIFF_SHORT, [6]), (0x201, TIFF_LONG, [tiff.blob(data)]),
            (0x202, TIFF_LONG, [len(data)])]


def camera(make, model, orientation):
    return [(0x10F, TIFF_ASCII, make), (0x110, TIFF_ASCII, model),
            (0x112, TIFF_SHORT, [orientation])]


def exif_directory(tiff, maker_note=None):
    entries = [(0x9003, TIFF_ASCII, "2024:05:06 07:08:09"), (0x8827, TIFF_SHORT, [200])]
    if callable(maker_note):  # its offsets count from the TIFF header
        entries.append((0x927C, TIFF_UNDEFINED, tiff.placed(maker_note)))
    elif maker_note:
        entries.append((0x927C, TIFF_UNDEFINED, maker_note))
    return [(0x8769, TIFF_LONG, [tiff.directory(entries)])]


def nikon_maker_note(preview):
    """Nikon's maker note: "Nikon", a version, then a TIFF structure of its own (IFD0 right
    after its header, as Nikon writes it) whose PreviewIFD (0x11) holds a JPEG; offsets
    count from that structure's header."""
    def entry(tag, kind, value):
        return struct.pack(">HHI", tag, kind, 1) + (struct.pack(">I", value) if kind == TIFF_LONG
                                                    else struct.pack(">HH", value, 0))
    previews_at = 8 + 2 + 2 * 12 + 4
    jpeg_at = previews_at + 2 + 3 * 12 + 4
    ifd0 = struct.pack(">H", 2) + struct.pack(">HHI", 0x0001, TIFF_UNDEFINED, 4) + b"0210" + \
        entry(0x0011, TIFF_LONG, previews_at) + struct.pack(">I", 0)
    previews = struct.pack(">H", 3) + entry(0x103, TIFF_SHORT, 6) + \
        entry(0x201, TIFF_LONG, jpeg_at) + entry(0x202, TIFF_LONG, len(preview)) + \
        struct.pack(">I", 0)
    return b"Nikon\0\x02\x10\0\0" + b"MM\0*" + struct.pack(">I", 8) + ifd0 + previews + preview


def olympus_maker_note(preview):
    """Olympus's maker note: "OLYMPUS", a byte order and a version, its directory at 12;
    the CameraSettings directory (0x2020) holds the preview. Offsets count from the note's
    start."""
    def entry(tag, kind, value):
        return struct.pack("<HHII", tag, kind, 1, value)
    settings_at = 12 + 2 + 12 + 4
    jpeg_at = settings_at + 2 + 3 * 12 + 4
    ifd = struct.pack("<H", 1) + entry(0x2020, 13, settings_at) + struct.pack("<I", 0)
    settings = struct.pack("<H", 3) + entry(0x100, TIFF_LONG, 1) + \
        entry(0x101, TIFF_LONG, jpeg_at) + entry(0x102, TIFF_LONG, len(preview)) + \
        struct.pack("<I", 0)
    return b"OLYMPUS\0II\x03\0" + ifd + settings + preview


def dng():
    """A small IFD0 preview, the sensor image and a larger preview in SubIFDs."""
    t = Tiff("<")
    raw = t.directory([(0xFE, TIFF_LONG, [0])] + strip(t, filler(30000), 1, 100, 100))
    large = t.directory([(0xFE, TIFF_LONG, [1])] + strip(t, jpeg(320, 240, GREEN), 7, 320, 240))
    t.chain([[(0xFE, TIFF_LONG, [1]), (0xC612, TIFF_BYTE, [1, 4, 0, 0]),
              (0x14A, TIFF_LONG, [raw, large])] + strip(t, jpeg(96, 64, GREY), 7, 96, 64) +
             camera("Zemo", "DNG Test", 8) + exif_directory(t)])
    return t.bytes(), GREEN, 8


def dng_tiled():
    """Previews stored in tiles, both larger than IFD0's: one whole JPEG as a single tile,
    and one of two tiles. Neither is a preview exiftool extracts, so IFD0's is the one."""
    t = Tiff("<")

    def tiled(tiles, width):
        return t.directory([(0xFE, TIFF_LONG, [1]), (0x100, TIFF_LONG, [width]),
                            (0x101, TIFF_LONG, [256]), (0x103, TIFF_SHORT, [7]),
                            (0x142, TIFF_LONG, [256]), (0x143, TIFF_LONG, [256]),
                            (0x144, TIFF_LONG, [t.blob(tile) for tile in tiles]),
                            (0x145, TIFF_LONG, [len(tile) for tile in tiles])])
    raw = t.directory([(0xFE, TIFF_LONG, [0])] + strip(t, filler(30000), 1, 100, 100))
    single = tiled([jpeg(256, 256, RED)], 256)
    double = tiled([jpeg(256, 256, RED), jpeg(256, 256, BLUE)], 512)
    t.chain([[(0xFE, TIFF_LONG, [1]), (0xC612, TIFF_BYTE, [1, 4, 0, 0]),
              (0x14A, TIFF_LONG, [raw, single, double])] +
             strip(t, jpeg(160, 120, MAGENTA), 7, 160, 120) + camera("Zemo", "DNG Tiles", 3) +
             exif_directory(t)])
    return t.bytes(), MAGENTA, 3


def nef(large=False, maker_preview=None):
    """Big-endian, as Nikon writes: an RGB thumbnail in IFD0, the JPEG in the first SubIFD,
    the sensor data in the second, a smaller preview in the maker note."""
    t = Tiff(">")
    preview = jpeg(6000, 4000, YELLOW) if large else jpeg(300, 200, YELLOW)
    maker_preview = maker_preview or jpeg(120, 80, GREY)
    sensor = t.directory([(0xFE, TIFF_LONG, [0])] +
                         strip(t, filler(30_000_000 if large else 20000), 1, 100, 100))
    sub = t.directory([(0xFE, TIFF_LONG, [1])] + interchange(t, preview))
    t.chain([[(0xFE, TIFF_LONG, [1]), (0x14A, TIFF_LONG, [sub, sensor])] +
             strip(t, filler(160 * 120 * 3), 1, 160, 120) +
             camera("NIKON CORPORATION", "NIKON Z TEST", 6) +
             exif_directory(t, nikon_maker_note(maker_preview))])
    return t.bytes(), YELLOW, 6


def nef_maker_note():
    """The maker note's preview larger than the SubIFD's JPEG."""
    data, _, orientation = nef(maker_preview=jpeg(400, 300, CYAN))
    return data, CYAN, orientation


def canon_maker_note(preview):
    """Canon's maker note: a directory at its start, offsets counting from the TIFF header;
    PreviewImageInfo (0xB6, LONG[12], its first word the six values' bytes that are there)
    gives the preview's length and start, here after the directory and its values."""
    return lambda at: note_with_preview("<", lambda start: [
        (0x6, TIFF_ASCII, "Canon EOS TEST"),
        (0xB6, TIFF_LONG, [24, 1, len(preview), 640, 480, start] + [0] * 6)], at, preview)


def cr2(maker_preview=None):
    """Canon's header ("CR", version, the sensor directory's offset), the JPEG as IFD0's
    strip, a thumbnail in IFD1, a small RGB image in IFD2, the sensor data in IFD3 and a
    preview in the maker note."""
    t = Tiff("<", b"II*\0\0\0\0\0CR\x02\0\0\0\0\0")
    thumbnail = jpeg(64, 48, GREY)
    note = canon_maker_note(maker_preview or jpeg(100, 60, GREY))
    directories = [
        strip(t, jpeg(288, 192, RED), 6, 288, 192) + camera("Canon", "Canon EOS TEST", 3) +
        exif_directory(t, note),
        [(0x201, TIFF_LONG, [t.blob(thumbnail)]), (0x202, TIFF_LONG, [len(thumbnail)])],
        strip(t, filler(3000), 1, 20, 50),
        strip(t, filler(40000), 6, 200, 100),
    ]
    following = 0
    offsets = []
    for entries in reversed(directories):
        following = t.directory(entries, following)
        offsets.insert(0, following)
    struct.pack_into("<I", t.data, 4, offsets[0])
    struct.pack_into("<I", t.data, 12, offsets[3])
    return t.bytes(), RED, 3


def cr2_maker_note():
    """The maker note's preview larger than IFD0's JPEG, as older bodies write it."""
    data, _, orientation = cr2(maker_preview=jpeg(400, 300, YELLOW))
    return data, YELLOW, orientation


def without_app0(data):
    """A JPEG that starts with its quantisation tables, as Sony's previews do."""
    assert data[2:4] == b"\xff\xe0"
    return data[:2] + data[4 + struct.unpack(">H", data[4:6])[0]:]


def sony_maker_note(preview, header=b""):
    """Sony's maker note: its directory at the start (ARW), or after a 12-byte header such as
    "SONY DSC "; offsets counting from the TIFF header. PreviewImage (0x2001) holds a
    32-byte header of Sony's, then the JPEG."""
    return lambda at: header + note_directory("<", [
        (0x0102, TIFF_LONG, [2]), (0x2001, TIFF_UNDEFINED, b"\0" * 32 + without_app0(preview)),
        (0xB020, TIFF_ASCII, "Standard")], at + len(header))


def arw(maker_preview=None, header=b""):
    """Sony: the preview's JPEGInterchangeFormat in IFD0, a thumbnail in IFD1, another
    preview in the maker note."""
    t = Tiff("<")
    note = sony_maker_note(maker_preview or jpeg(128, 96, GREY), header)
    sensor = t.directory(strip(t, filler(20000), 32767, 100, 100))
    t.chain([interchange(t, jpeg(256, 256, MAGENTA)) + camera("SONY", "ILCE-TEST", 1) +
              [(0x14A, TIFF_LONG, [sensor])] + exif_directory(t, note),
              interchange(t, jpeg(80, 60, GREY))])
    return t.bytes(), MAGENTA, 1


def arw_maker_note():
    """The maker note's preview larger than IFD0's, the note behind a "SONY DSC " header."""
    data, _, orientation = arw(jpeg(400, 300, GREEN), b"SONY DSC \0\0\0")
    return data, GREEN, orientation


def pentax_maker_note(preview, header=b"AOC\0"):
    """Pentax's maker note, big-endian (the entry count tells the order): "AOC\0MM", its
    directory at 6 and offsets counting from the TIFF header (PEF); or "PENTAX \0MM", its
    directory at 10 and offsets counting from the note's start (newer bodies, DNG's
    DNGPrivateData). PreviewImageSize, PreviewImageLength and PreviewImageStart (0x2 to
    0x4) give the preview, here after the directory. A function of the note's offset."""
    def build(at):
        origin = (at if header == b"AOC\0" else 0) + len(header) + 2
        return header + b"MM" + note_with_preview(">", lambda start: [
            (0x0, TIFF_BYTE, [4, 0, 0, 0]), (0x2, TIFF_SHORT, [640, 480]),
            (0x3, TIFF_LONG, [len(preview)]), (0x4, TIFF_LONG, [start])], origin, preview)
    return build


def pef(maker_preview=None):
    """Pentax: a thumbnail in IFD1, the large JPEG in IFD2, a preview in the maker note."""
    t = Tiff("<")
    note = pentax_maker_note(maker_preview or jpeg(160, 120, GREY))
    t.chain([strip(t, filler(20000), 65535, 100, 100) + camera("PENTAX", "PENTAX K-TEST", 8) +
              exif_directory(t, note),
              interchange(t, jpeg(72, 48, GREY)),
              interchange(t, jpeg(240, 320, CYAN))])
    return t.bytes(), CYAN, 8


def pef_maker_note():
    """The maker note's preview larger than IFD2's JPEG."""
    data, _, orientation = pef(maker_preview=jpeg(360, 270, RED))
    return data, RED, orientation


def dng_pentax():
    """A Pentax DNG: the preview in DNGPrivateData, which holds the "PENTAX " maker note,
    larger than IFD0's."""
    t = Tiff("<")
    raw = t.directory([(0xFE, TIFF_LONG, [0])] + strip(t, filler(30000), 1, 100, 100))
    note = pentax_maker_note(jpeg(300, 200, BLUE), b"PENTAX \0")(0)
    t.chain([[(0xFE, TIFF_LONG, [1]), (0xC612, TIFF_BYTE, [1, 4, 0, 0]),
              (0x14A, TIFF_LONG, [raw]), (0xC634, TIFF_BYTE, note)] +
             strip(t, jpeg(96, 64, GREY), 7, 96, 64) + camera("PENTAX", "PENTAX K-3", 6) +
             exif_directory(t)])
    return t.bytes(), BLUE, 6


def orf():
    """Olympus: "IIRO" in place of TIFF's magic, the sensor strip in IFD0, a thumbnail in
    IFD1, the preview in the maker note's CameraSettings."""
    t = Tiff("<", b"IIRO\0\0\0\0")
    t.chain([strip(t, filler(20000), 1, 100, 100) + camera("OLYMPUS CORPORATION", "E-TEST", 3) +
             exif_directory(t, olympus_maker_note(jpeg(320, 240, BLUE))),
             interchange(t, jpeg(80, 60, GREY))])
    return t.bytes(), BLUE, 3


def rw2():
    """Panasonic: "IIU" in place of TIFF's magic, the JPEG as IFD0's JpgFromRaw (0x2E)."""
    t = Tiff("<", b"IIU\0\0\0\0\0")
    t.chain([[(0x2E, TIFF_UNDEFINED, jpeg(220, 330, GREEN)), (0x111, TIFF_LONG,
              [t.blob(filler(20000))]), (0x117, TIFF_LONG, [20000])] +
             camera("Panasonic", "DC-TEST", 6)])
    return t.bytes(), GREEN, 6


def raf():
    """Fujifilm: the header gives the JPEG's offset and length; the JPEG carries the
    orientation in its own EXIF."""
    preview = jpeg(260, 180, BLUE, orientation=8)
    header = bytearray(b"FUJIFILMCCD-RAW 0201FF383501".ljust(0x3C, b"\0"))
    header[0x1C:0x1C + 9] = b"X-TEST\0\0\0"
    header += b"0100" + b"\0" * 20
    offset = 0x100
    header += struct.pack(">II", offset, len(preview)) + b"\0" * 24
    data = header.ljust(offset, b"\0") + preview + filler(20000)
    return data, BLUE, 8


def box(kind, payload):
    return struct.pack(">I", 8 + len(payload)) + kind + payload


def cr3():
    """Canon's ISO base media file: CMT1 (IFD0, with the orientation) and THMB in the moov's
    Canon box, the PRVW box in a top-level box of its own and the full-size JPEG as the
    first track's only sample."""
    thumb, prvw, full = jpeg(80, 60, GREY), jpeg(160, 120, GREY), jpeg(400, 300, MAGENTA)
    cmt1 = Tiff("<")
    cmt1.chain([camera("Canon", "Canon EOS R-TEST", 6)])
    canon = box(b"uuid", bytes.fromhex("85c0b687820f11e08111f4ce462b6a48") +
                box(b"CNCV", b"CanonCR3_001/00.09.00/00.00.00") + box(b"CMT1", cmt1.bytes()) +
                box(b"THMB", struct.pack(">IHHIHH", 0, 80, 60, len(thumb), 1, 0) + thumb))
    preview = box(b"uuid", bytes.fromhex("eaf42b5e1c984b88b9fbb7dc406e4d16") +
                  struct.pack(">II", 0, 1) +
                  box(b"PRVW", struct.pack(">IHHHHI", 0, 1, 160, 120, 1, len(prvw)) + prvw))
    ftyp = box(b"ftyp", b"crx \0\0\0\1crx isom")

    def moov(sample_offset):
        entry = box(b"CRAW", b"\0" * 6 + struct.pack(">H", 1) + b"\0" * 16 +
                    struct.pack(">HHIIIH", 400, 300, 0x480000, 0x480000, 0, 1) + b"\0" * 32 +
                    struct.pack(">Hh", 24, -1) + box(b"JPEG", b"\0" * 4))
        stbl = box(b"stbl", box(b"stsd", struct.pack(">II", 0, 1) + entry) +
                   box(b"stts", struct.pack(">IIII", 0, 1, 1, 1)) +
                   box(b"stsc", struct.pack(">IIIII", 0, 1, 1, 1, 1)) +
                   box(b"stsz", struct.pack(">IIII", 0, 0, 1, len(full))) +
                   box(b"co64", struct.pack(">IIQ", 0, 1, sample_offset)))
        track = box(b"trak", box(b"tkhd", struct.pack(">II", 3, 0) + b"\0" * 76 +
                                 struct.pack(">II", 400 << 16, 300 << 16)) +
                    box(b"mdia", box(b"mdhd", b"\0" * 24) +
                        box(b"hdlr", struct.pack(">I", 0) + b"\0\0\0\0vide" + b"\0" * 13) +
                        box(b"minf", box(b"vmhd", b"\0" * 12) + stbl)))
        return box(b"moov", canon + box(b"mvhd", b"\0" * 100) + track)

    head = len(ftyp) + len(moov(0)) + len(preview) + 8
    data = ftyp + moov(head) + preview + box(b"mdat", full + filler(20000))
    return data, MAGENTA, 6


def without_jpeg():
    """A DNG-like file with sensor data only."""
    t = Tiff("<")
    t.chain([strip(t, filler(20000), 1, 100, 100) + camera("Zemo", "No Preview", 1)])
    return t.bytes(), None, 1


FILES = {"dng-previews.dng": dng, "dng-pentax.dng": dng_pentax, "dng-tiled.dng": dng_tiled,
         "nef-subifd.nef": nef, "nef-makernote.nef": nef_maker_note,
         "cr2-strip.cr2": cr2, "cr2-makernote.cr2": cr2_maker_note,
         "arw-ifd0.arw": arw, "arw-makernote.arw": arw_maker_note,
         "pef-ifd2.pef": pef, "pef-makernote.pef": pef_maker_note,
         "orf-makernote.orf": orf, "rw2-jpgfromraw.rw2": rw2, "raf-header.raf": raf,
         "cr3-three.cr3": cr3, "nojpeg.dng": without_jpeg}


def main():
    folder = sys.argv[1]
    os.makedirs(folder, exist_ok=True)
    files = dict(FILES)
    if "--large" in sys.argv[2:]:
        files["big.nef"] = lambda: nef(large=True)
    lines = []
    for name, make in files.items():
        data, colour, orientation = make()
        with open(os.path.join(folder, name), "wb") as out:
            out.write(data)
        lines.append(f"{name} {colour or 'none'} {orientation}")
    with open(os.path.join(folder, "expected.txt"), "w") as out:
        out.write("\n".join(lines) + "\n")


if __name__ == "__main__":
    main()
