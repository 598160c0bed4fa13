#include "app/metadata/maker_note_previews.h"

namespace {

enum Tag : uint16_t {
    kJpegOffset = 0x0201,  // JPEGInterchangeFormat
    kJpegLength = 0x0202,  // JPEGInterchangeFormatLength
    kNikonPreviewIfd = 0x0011,
    kOlympusCameraSettings = 0x2020,
    kOlympusPreviewStart = 0x0101,
    kOlympusPreviewLength = 0x0102,
};

// Olympus's maker note: "OLYMPUS\0", a byte order and a version, its directory at 12 and
// offsets counted from the note's start; or the older "OLYMP\0", its directory at 8 and
// offsets counted from the TIFF header. Its CameraSettings (0x2020) hold the preview:
// PreviewImageStart (0x101) and PreviewImageLength (0x102).
void ReadOlympus(ByteSource& source, const MakerNote& note, const JpegFound& found) {
    const auto [at, length] = note.bytes;
    bool little = note.tiffLittle;
    uint64_t base = note.tiffBase, directory = at + 8;
    if (length > 12 && StartsWith(source, at, std::string_view("OLYMPUS\0", 8))) {
        if (!StartsWith(source, at + 8, "II") && !StartsWith(source, at + 8, "MM"))
            return;
        little = StartsWith(source, at + 8, "II");
        base = at;
        directory = at + 12;
    } else if (length <= 8 || !StartsWith(source, at, std::string_view("OLYMP\0", 6))) {
        return;
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
}

// Nikon's maker note: "Nikon\0" and a version, then a TIFF structure of its own whose
// PreviewIFD (0x11) holds a preview's JPEGInterchangeFormat pair.
void ReadNikon(ByteSource& source, const MakerNote& note, const JpegFound& found) {
    constexpr uint64_t kHeader = 10;
    const auto [at, length] = note.bytes;
    if (length <= kHeader || !StartsWith(source, at, std::string_view("Nikon\0\x02", 7)))
        return;
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
}

}  // namespace

void ReadMakerNotePreviews(ByteSource& source, const MakerNote& note, const JpegFound& found) {
    ReadNikon(source, note, found);
    ReadOlympus(source, note, found);
}
