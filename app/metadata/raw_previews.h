// The JPEGs a camera stores inside its RAW files, found without decoding the sensor data:
// their places in the file, the largest among them, and how the photo stands. Platform-free
// like the rest of the metadata reader, so it is fuzzed and checked against exiftool on
// the host (docs/metadata.md).
//
// Read through a ByteSource a few bytes at a time; every offset, count and box size is
// checked against the file's size before it is followed, and each structure is walked once.
#pragma once

#include <optional>
#include <string_view>
#include <vector>

#include "app/metadata/image_metadata.h"

struct RawPreviews {
    // Each embedded JPEG the preview can show (baseline or progressive, so not the
    // lossless JPEG some cameras hold the sensor data in), in the order they were met.
    std::vector<ByteRange> jpegs;
    // The one with the most bytes: the sharpest the file offers.
    std::optional<ByteRange> largest;
    // How the photo is turned, as the Orientation tag counts it: the first directory's for
    // the TIFF formats, the CMT1 box's for CR3, the largest JPEG's own EXIF for RAF.
    std::optional<int> orientation;
};

// Reads the TIFF-based formats (DNG, NEF, CR2, ARW, PEF, ORF's "IIRO", RW2's "IIU" and
// the like), CR3 (ISO base media: the PRVW and THMB boxes and the full-size JPEG track)
// and RAF (the JPEG its header points to). Empty for anything else.
RawPreviews FindRawPreviews(ByteSource& source);

// Whether a file with this extension (with its dot, any case) is read as a camera RAW.
bool IsRawExtension(std::wstring_view extension);

// A window on another source: `range` of it, seen as a whole file of its own.
class ByteRangeSource final : public ByteSource {
  public:
    ByteRangeSource(ByteSource& source, ByteRange range) : source_(source), range_(range) {}
    uint64_t Size() const override { return range_.length; }
    bool Read(uint64_t offset, size_t length, uint8_t* out) override {
        return offset <= range_.length && length <= range_.length - offset &&
               source_.Read(range_.offset + offset, length, out);
    }

  private:
    ByteSource& source_;
    ByteRange range_;
};
