#include "app/metadata/raw_previews.h"

#include <algorithm>
#include <functional>
#include <map>
#include <string>

#include "app/metadata/maker_note_previews.h"
#include "app/metadata/tiff_entries.h"

namespace {

// Tags (TIFF 6.0, TIFF/EP and the makers' own).
enum Tag : uint16_t {
    kPanasonicJpgFromRaw = 0x002E,
    kCompression = 0x0103,
    kMake = 0x010F,
    kStripOffsets = 0x0111,
    kOrientation = 0x0112,
    kStripByteCounts = 0x0117,
    kJpegOffset = 0x0201,  // JPEGInterchangeFormat
    kJpegLength = 0x0202,  // JPEGInterchangeFormatLength
    kMakerNote = 0x927C,
    kDngPrivateData = 0xC634,
};

// Compression values whose strip may be a JPEG file of its own.
constexpr uint32_t kOldJpeg = 6;
constexpr uint32_t kJpeg = 7;

// Bounds that keep a hostile file's walk short: boxes looked at in one box, and JPEGs
// taken from one file.
constexpr int kMaximumBoxesPerLevel = 1024;
constexpr size_t kMaximumJpegs = 64;

std::optional<uint64_t> ReadBig64(ByteSource& source, uint64_t offset) {
    uint8_t b[8];
    if (!source.Read(offset, 8, b))
        return std::nullopt;
    return uint64_t{BigEndian32(b)} << 32 | BigEndian32(b + 4);
}

// Collects the JPEGs met, keeping those that lie inside the file and that the preview can
// decode.
class Finds {
  public:
    explicit Finds(ByteSource& source) : source_(source) {}

    void Add(uint64_t offset, uint64_t length) {
        const uint64_t size = source_.Size();
        if (length < 4 || offset > size || length > size - offset ||
            previews_.jpegs.size() >= kMaximumJpegs)
            return;
        const ByteRange range{offset, length};
        if (std::find(previews_.jpegs.begin(), previews_.jpegs.end(), range) !=
            previews_.jpegs.end())
            return;
        ByteRangeSource jpeg(source_, range);
        const std::optional<uint8_t> frame = JpegFrameMarker(jpeg);
        // Baseline, extended and progressive frames; a lossless one is sensor data.
        if (frame && (*frame == 0xC0 || *frame == 0xC1 || *frame == 0xC2))
            previews_.jpegs.push_back(range);
    }
    JpegFound Adder() {
        return [this](uint64_t offset, uint64_t length) { Add(offset, length); };
    }
    void SetOrientation(std::optional<uint32_t> value) {
        if (!previews_.orientation && value && *value >= 1 && *value <= 8)
            previews_.orientation = static_cast<int>(*value);
    }

    RawPreviews Finish() {
        for (const ByteRange& jpeg : previews_.jpegs)
            if (!previews_.largest || jpeg.length > previews_.largest->length)
                previews_.largest = jpeg;
        return std::move(previews_);
    }

  private:
    ByteSource& source_;
    RawPreviews previews_;
};

// ---- TIFF-based formats ----

// What one directory says about the JPEGs it holds.
struct DirectoryJpegs {
    std::optional<uint32_t> compression, stripOffset, stripLength, jpegOffset, jpegLength;
};

// Walks the TIFF structure at `base`: the JPEGs of every directory (JPEGInterchangeFormat,
// a JPEG-compressed single strip, RW2's JpgFromRaw), of the maker note and of DNG's private
// data, and IFD0's orientation. A preview in tiles (TileOffsets) is left out, even one
// tile: its JPEG is the tile, padded to the tile's size, and exiftool, the reference for
// what a RAW holds, reports none as a preview.
bool ReadTiffJpegs(ByteSource& source, uint64_t base, uint64_t length, Finds& finds) {
    std::map<uint64_t, DirectoryJpegs> directories;
    std::vector<ByteRange> makerNotes;  // read once the walk has met IFD0's Make
    std::string make;
    TiffWalk walk;
    auto keepMakerNote = [&](const TiffEntry& e) {
        if (const auto at = ValuesOffset(source, walk.littleEndian, base, e))
            makerNotes.push_back({*at, e.count});
    };
    walk.entry = [&](const TiffEntry& e) {
        if (e.kind == TiffDirectoryKind::Exif) {
            if (e.tag == kMakerNote && e.type == 7 && e.count > 4)
                keepMakerNote(e);
            return true;
        }
        DirectoryJpegs& d = directories[e.directory];
        const std::optional<uint32_t> value = SingleValue(source, walk.littleEndian, e);
        switch (e.tag) {
            case kCompression:
                d.compression = value;
                break;
            case kStripOffsets:
                d.stripOffset = value;
                break;
            case kStripByteCounts:
                d.stripLength = value;
                break;
            case kJpegOffset:
                d.jpegOffset = value;
                break;
            case kJpegLength:
                d.jpegLength = value;
                break;
            case kOrientation:
                if (e.kind == TiffDirectoryKind::Chain && e.chainIndex == 0)
                    finds.SetOrientation(value);
                break;
            case kDngPrivateData:  // Pentax's DNGs hold their maker note here
                if (e.kind == TiffDirectoryKind::Chain && e.chainIndex == 0 &&
                    (e.type == 1 || e.type == 7) && e.count > 4)
                    keepMakerNote(e);
                break;
            case kMake:
                if (e.kind == TiffDirectoryKind::Chain && e.chainIndex == 0)
                    make = ReadText(source, walk.littleEndian, base, e, 16);
                break;
            case kPanasonicJpgFromRaw:
                if (e.type == 7 && e.count > 4)
                    if (const auto at = ValuesOffset(source, walk.littleEndian, base, e))
                        finds.Add(*at, e.count);
                break;
        }
        return true;
    };
    if (!WalkTiff(source, base, length, walk))
        return false;
    for (const ByteRange& note : makerNotes)
        ReadMakerNotePreviews(source, {note, walk.littleEndian, base, make}, finds.Adder());
    for (const auto& [place, d] : directories) {
        if (d.jpegOffset && d.jpegLength)
            finds.Add(base + *d.jpegOffset, *d.jpegLength);
        if (d.stripOffset && d.stripLength && (d.compression == kOldJpeg || d.compression == kJpeg))
            finds.Add(base + *d.stripOffset, *d.stripLength);
    }
    return true;
}

// ---- CR3: ISO base media boxes ----

struct Box {
    uint32_t type = 0;
    uint64_t payload = 0;  // its first byte after the header
    uint64_t end = 0;
};

constexpr uint32_t FourCc(const char (&name)[5]) {
    return uint32_t(uint8_t(name[0])) << 24 | uint32_t(uint8_t(name[1])) << 16 |
           uint32_t(uint8_t(name[2])) << 8 | uint8_t(name[3]);
}

// Calls `visit` for each box between `begin` and `end`, stopping at the first whose size
// does not fit: 0 runs to `end`, 1 gives a 64-bit size after the type, and none is smaller
// than its header or reaches past `end`.
void ForEachBox(ByteSource& source, uint64_t begin, uint64_t end,
                const std::function<void(const Box&)>& visit) {
    uint64_t at = begin;
    for (int count = 0; count < kMaximumBoxesPerLevel && end - at >= 8; ++count) {
        const std::optional<uint32_t> size32 = ReadBig32(source, at);
        const std::optional<uint32_t> type = ReadBig32(source, at + 4);
        if (!size32 || !type)
            return;
        uint64_t size = *size32, header = 8;
        if (size == 0) {
            size = end - at;
        } else if (size == 1) {
            const std::optional<uint64_t> large = ReadBig64(source, at + 8);
            if (!large)
                return;
            size = *large;
            header = 16;
        }
        if (size < header || size > end - at)
            return;
        visit({*type, at + header, at + size});
        at += size;
    }
}

// The children of the first box of a type among the children of `parent`.
std::optional<Box> FindChild(ByteSource& source, const Box& parent, uint32_t type) {
    std::optional<Box> found;
    ForEachBox(source, parent.payload, parent.end, [&](const Box& child) {
        if (!found && child.type == type)
            found = child;
    });
    return found;
}

bool IsUuid(ByteSource& source, const Box& box, std::string_view uuid) {
    return box.type == FourCc("uuid") && box.end - box.payload >= 16 &&
           StartsWith(source, box.payload, uuid);
}

const std::string_view kCanonUuid(
    "\x85\xc0\xb6\x87\x82\x0f\x11\xe0\x81\x11\xf4\xce\x46\x2b\x6a\x48", 16);
const std::string_view kPreviewUuid(
    "\xea\xf4\x2b\x5e\x1c\x98\x4b\x88\xb9\xfb\xb7\xdc\x40\x6e\x4d\x16", 16);

// The Canon box in the moov: CMT1 holds IFD0 (the orientation), THMB the thumbnail after
// 16 bytes (version, width, height, the JPEG's length, two more fields).
void ReadCanonBox(ByteSource& source, const Box& canon, Finds& finds) {
    ForEachBox(source, canon.payload + 16, canon.end, [&](const Box& box) {
        if (box.type == FourCc("CMT1")) {
            Finds ifd0(source);  // only the orientation counts here
            if (ReadTiffJpegs(source, box.payload, box.end - box.payload, ifd0))
                finds.SetOrientation(ifd0.Finish().orientation);
        } else if (box.type == FourCc("THMB") && box.end - box.payload >= 16) {
            if (const std::optional<uint32_t> length = ReadBig32(source, box.payload + 8);
                length && *length <= box.end - box.payload - 16)
                finds.Add(box.payload + 16, *length);
        }
    });
}

// A track whose sample description has a JPEG box holds the full-size JPEG as its first
// sample: its size from stsz, its place from co64 or stco.
void ReadTrack(ByteSource& source, const Box& track, Finds& finds) {
    std::optional<Box> table = FindChild(source, track, FourCc("mdia"));
    if (table)
        table = FindChild(source, *table, FourCc("minf"));
    if (table)
        table = FindChild(source, *table, FourCc("stbl"));
    if (!table)
        return;
    const std::optional<Box> descriptions = FindChild(source, *table, FourCc("stsd"));
    bool jpeg = false;
    if (descriptions && descriptions->end - descriptions->payload >= 8)
        ForEachBox(source, descriptions->payload + 8, descriptions->end, [&](const Box& entry) {
            // A visual sample entry's own fields take 78 bytes; boxes follow them.
            if (!jpeg && entry.end - entry.payload >= 78)
                jpeg =
                    FindChild(source, {entry.type, entry.payload + 78, entry.end}, FourCc("JPEG"))
                        .has_value();
        });
    if (!jpeg)
        return;
    std::optional<uint64_t> size, offset;
    if (const std::optional<Box> sizes = FindChild(source, *table, FourCc("stsz"));
        sizes && sizes->end - sizes->payload >= 16) {
        const std::optional<uint32_t> common = ReadBig32(source, sizes->payload + 4);
        const std::optional<uint32_t> count = ReadBig32(source, sizes->payload + 8);
        if (common && *common != 0)
            size = *common;
        else if (count && *count >= 1)
            size = ReadBig32(source, sizes->payload + 12);
    }
    if (const std::optional<Box> chunks = FindChild(source, *table, FourCc("co64"));
        chunks && chunks->end - chunks->payload >= 16)
        offset = ReadBig64(source, chunks->payload + 8);
    else if (const std::optional<Box> chunks32 = FindChild(source, *table, FourCc("stco"));
             chunks32 && chunks32->end - chunks32->payload >= 12)
        offset = ReadBig32(source, chunks32->payload + 8);
    if (size && offset)
        finds.Add(*offset, *size);
}

// The PRVW box, after the top-level box's UUID and 8 more bytes: 16 bytes of its own
// fields (the JPEG's length last), then the JPEG.
void ReadPreviewBox(ByteSource& source, const Box& outer, Finds& finds) {
    if (outer.end - outer.payload < 24)
        return;
    ForEachBox(source, outer.payload + 24, outer.end, [&](const Box& box) {
        if (box.type != FourCc("PRVW") || box.end - box.payload < 16)
            return;
        if (const std::optional<uint32_t> length = ReadBig32(source, box.payload + 12);
            length && *length <= box.end - box.payload - 16)
            finds.Add(box.payload + 16, *length);
    });
}

bool ReadCr3(ByteSource& source, Finds& finds) {
    if (!StartsWith(source, 4, "ftypcrx "))
        return false;
    ForEachBox(source, 0, source.Size(), [&](const Box& top) {
        if (IsUuid(source, top, kPreviewUuid))
            ReadPreviewBox(source, top, finds);
        if (top.type != FourCc("moov"))
            return;
        ForEachBox(source, top.payload, top.end, [&](const Box& box) {
            if (IsUuid(source, box, kCanonUuid))
                ReadCanonBox(source, box, finds);
            else if (box.type == FourCc("trak"))
                ReadTrack(source, box, finds);
        });
    });
    return true;
}

// ---- RAF ----

// Fujifilm's header: the magic, then at 84 the JPEG's offset and length (big-endian).
bool ReadRaf(ByteSource& source, Finds& finds) {
    if (!StartsWith(source, 0, "FUJIFILMCCD-RAW "))
        return false;
    const std::optional<uint32_t> offset = ReadBig32(source, 84);
    const std::optional<uint32_t> length = ReadBig32(source, 88);
    if (offset && length)
        finds.Add(*offset, *length);
    return true;
}

}  // namespace

RawPreviews FindRawPreviews(ByteSource& source) {
    Finds finds(source);
    const bool raf = ReadRaf(source, finds);
    if (!raf && !ReadCr3(source, finds))
        ReadTiffJpegs(source, 0, source.Size(), finds);
    RawPreviews previews = finds.Finish();
    if (raf && previews.largest) {
        ByteRangeSource jpeg(source, *previews.largest);
        previews.orientation = ReadImageMetadata(jpeg).orientation;
    }
    return previews;
}

bool IsRawExtension(std::wstring_view extension) {
    static constexpr std::wstring_view kExtensions[] = {
        L".dng", L".nef", L".nrw", L".cr2", L".cr3", L".arw", L".sr2", L".srf", L".pef", L".orf",
        L".rw2", L".raf", L".srw", L".erf", L".3fr", L".mef", L".mos", L".iiq", L".kdc", L".dcr"};
    if (extension.size() > 5)
        return false;
    std::wstring lower(extension);
    for (wchar_t& c : lower)
        if (c >= L'A' && c <= L'Z')
            c = static_cast<wchar_t>(c - L'A' + L'a');
    return std::find(std::begin(kExtensions), std::end(kExtensions), lower) !=
           std::end(kExtensions);
}
