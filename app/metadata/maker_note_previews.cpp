#include "app/metadata/maker_note_previews.h"

#include <algorithm>
#include <iterator>

namespace {

enum Tag : uint16_t {
    kJpegOffset = 0x0201,  // JPEGInterchangeFormat
    kJpegLength = 0x0202,  // JPEGInterchangeFormatLength
    kNikonPreviewIfd = 0x0011,
    kOlympusCameraSettings = 0x2020,
    kOlympusPreviewStart = 0x0101,
    kOlympusPreviewLength = 0x0102,
    kPentaxPreviewLength = 0x0003,
    kPentaxPreviewStart = 0x0004,
    kCanonPreviewImageInfo = 0x00B6,
    kSonyPreviewImage = 0x2001,
};

// The byte order of a maker note's directory, told by its entry count: read in the TIFF's
// order, a count in the other order has the larger byte on top. A note's own byte order
// mark is not always there, nor always right.
bool DirectoryByteOrder(ByteSource& source, bool tiffLittle, uint64_t directory) {
    const std::optional<uint16_t> count = ReadU16(source, tiffLittle, directory);
    return count && (*count >> 8) > (*count & 0xFF) ? !tiffLittle : tiffLittle;
}

// Olympus's maker note: "OLYMPUS\0", a byte order and a version, its directory at 12 and
// offsets counted from the note's start; or the older "OLYMP\0", its directory at 8 and
// offsets counted from the TIFF header. Its CameraSettings (0x2020) hold the preview:
// PreviewImageStart (0x101) and PreviewImageLength (0x102).
bool ReadOlympus(ByteSource& source, const MakerNote& note, const JpegFound& found) {
    const auto [at, length] = note.bytes;
    bool little = note.tiffLittle;
    uint64_t base = note.tiffBase, directory = at + 8;
    if (length > 12 && StartsWith(source, at, std::string_view("OLYMPUS\0", 8))) {
        if (!StartsWith(source, at + 8, "II") && !StartsWith(source, at + 8, "MM"))
            return true;
        little = StartsWith(source, at + 8, "II");
        base = at;
        directory = at + 12;
    } else if (length <= 8 || !StartsWith(source, at, std::string_view("OLYMP\0", 6))) {
        return false;
    }
    std::optional<uint64_t> settings;
    ForEachEntry(source, little, directory, [&](const TiffEntry& entry) {
        if (entry.tag != kOlympusCameraSettings || settings)
            return;
        if (entry.type == 7 && entry.count > 4)  // the directory itself as the value
            settings = ReadU32(source, little, entry.place + 8);
        else if (entry.count == 1 && (entry.type == 4 || entry.type == 13))
            settings = ReadU32(source, little, entry.place + 8);
    });
    if (settings && *settings != directory - base)
        ReadDirectoryJpeg(source, little, base, base + *settings, kOlympusPreviewStart,
                          kOlympusPreviewLength, found);
    return true;
}

// Nikon's maker note: "Nikon\0" and a version, then a TIFF structure of its own whose
// PreviewIFD (0x11) holds a preview's JPEGInterchangeFormat pair.
bool ReadNikon(ByteSource& source, const MakerNote& note, const JpegFound& found) {
    constexpr uint64_t kHeader = 10;
    const auto [at, length] = note.bytes;
    if (length <= kHeader || !StartsWith(source, at, std::string_view("Nikon\0\x02", 7)))
        return false;
    const uint64_t base = at + kHeader;
    std::optional<uint64_t> preview;
    TiffWalk walk;
    walk.entry = [&](const TiffEntry& e) {
        if (e.kind == TiffDirectoryKind::Chain && e.chainIndex == 0 && e.tag == kNikonPreviewIfd &&
            e.count == 1 && (e.type == 4 || e.type == 13))
            if (const auto offset = ReadU32(source, walk.littleEndian, e.place + 8))
                preview = base + *offset;
        return !preview;
    };
    if (WalkTiff(source, base, length - kHeader, walk) && preview &&
        *preview < base + (length - kHeader))
        ReadDirectoryJpeg(source, walk.littleEndian, base, *preview, kJpegOffset, kJpegLength,
                          found);
    return true;
}

// Pentax's maker note: "AOC\0" and a byte order mark, its directory at 6 and offsets
// counted from the TIFF header (PEF, and the JPEGs of older bodies); or "PENTAX \0" and the
// mark, its directory at 10 and offsets counted from the note's start (newer bodies, and
// the DNGPrivateData of Pentax's DNGs). PreviewImageLength (0x3) and PreviewImageStart
// (0x4) give the preview. Older notes have "\0\0" for a mark.
bool ReadPentax(ByteSource& source, const MakerNote& note, const JpegFound& found) {
    const auto [at, length] = note.bytes;
    uint64_t base = note.tiffBase, directory = at + 6;
    if (StartsWith(source, at, std::string_view("PENTAX \0", 8))) {
        base = at;
        directory = at + 10;
    } else if (!StartsWith(source, at, std::string_view("AOC\0", 4))) {
        return false;
    }
    if (length >= directory - at + 2)
        ReadDirectoryJpeg(source, DirectoryByteOrder(source, note.tiffLittle, directory), base,
                          directory, kPentaxPreviewStart, kPentaxPreviewLength, found);
    return true;
}

// Canon's maker note: a directory at its start, offsets counted from the TIFF header. Older
// bodies' PreviewImageInfo (0xB6) is a LONG array whose values 2 and 5 are the preview's
// length and start; its first 16-bit word is the array's true size in bytes, half what the
// entry's count claims (12 values written, 6 there): a note whose word says otherwise is
// not this layout.
bool ReadCanon(ByteSource& source, const MakerNote& note, const JpegFound& found) {
    if (!note.make.starts_with("Canon"))
        return false;
    const uint64_t directory = note.bytes.offset;
    const bool little = DirectoryByteOrder(source, note.tiffLittle, directory);
    ForEachEntry(source, little, directory, [&](const TiffEntry& e) {
        if (e.tag != kCanonPreviewImageInfo || e.type != 4 || e.count < 6)
            return;
        const std::optional<uint64_t> info = ValuesOffset(source, little, note.tiffBase, e);
        if (!info)
            return;
        const std::optional<uint16_t> size = ReadU16(source, little, *info);
        const std::optional<uint32_t> length = ReadU32(source, little, *info + 8);
        const std::optional<uint32_t> start = ReadU32(source, little, *info + 20);
        if (size && *size == uint64_t{e.count} * 2 && length && start)
            found(note.tiffBase + *start, *length);
    });
    return true;
}

// Sony's maker note: a 12-byte header ("SONY DSC \0\0\0" and the like) then its directory,
// or, in the ARW and SR2 files of a "SONY" make, the directory at its start (unless it
// starts 01 00, the one-entry layout of SRF files); offsets counted from the TIFF header.
// PreviewImage (0x2001, UNDEFINED) is a 32-byte header of Sony's, then the JPEG. It counts
// only when the JPEG starts whole (FF D8 FF, then DQT or APP1): Sony's own JPEG files
// store its first byte as 00, so the bytes in the file are no JPEG as they stand.
bool ReadSony(ByteSource& source, const MakerNote& note, const JpegFound& found) {
    constexpr uint64_t kPreviewHeader = 32;
    static constexpr std::string_view kHeaders[] = {
        "SONY DSC", "SONY CAM", "SONY MOBILE", {"\0\0SONY PIC\0", 11}, {"VHAB     \0", 10}};
    const uint64_t at = note.bytes.offset;
    uint64_t directory = at;
    if (std::any_of(std::begin(kHeaders), std::end(kHeaders),
                    [&](std::string_view header) { return StartsWith(source, at, header); }))
        directory = at + 12;
    else if (!note.make.starts_with("SONY") || StartsWith(source, at, {"\x01\0", 2}))
        return false;
    const bool little = DirectoryByteOrder(source, note.tiffLittle, directory);
    ForEachEntry(source, little, directory, [&](const TiffEntry& e) {
        if (e.tag != kSonyPreviewImage || e.type != 7 || e.count <= kPreviewHeader)
            return;
        const std::optional<uint64_t> value = ValuesOffset(source, little, note.tiffBase, e);
        if (value && (StartsWith(source, *value + kPreviewHeader, "\xFF\xD8\xFF\xDB") ||
                      StartsWith(source, *value + kPreviewHeader, "\xFF\xD8\xFF\xE1")))
            found(*value + kPreviewHeader, e.count - kPreviewHeader);
    });
    return true;
}

}  // namespace

void ReadMakerNotePreviews(ByteSource& source, const MakerNote& note, const JpegFound& found) {
    // Those known by their header first, then those known by the camera's make.
    for (const auto read : {ReadNikon, ReadOlympus, ReadPentax, ReadSony, ReadCanon})
        if (read(source, note, found))
            return;
}
