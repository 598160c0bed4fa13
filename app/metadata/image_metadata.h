// Facts about a photo read from its TIFF structure (a TIFF file, the many raw formats built
// on one, or a JPEG's APP1 "Exif" segment): orientation, capture time, camera, exposure,
// pixel size and where the EXIF thumbnail lies. Platform-free, so it is also built by the
// host's compiler with sanitizers and fuzzed there (docs/metadata.md).
//
// The file is read through a ByteSource, a few bytes at a time at given offsets, so the
// reader never needs the whole file. Every offset and count in the file is checked against
// the file's size: a bad one gives "not found" for that fact, never a read outside it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>

// Bytes at offsets: a file, or bytes in memory.
class ByteSource {
  public:
    virtual ~ByteSource() = default;
    virtual uint64_t Size() const = 0;
    // Copies `length` bytes from `offset` into `out`; false (and `out` undefined) when
    // they are not all there.
    virtual bool Read(uint64_t offset, size_t length, uint8_t* out) = 0;
};

// Bytes in memory, not owned; they must outlive the source.
class MemoryByteSource final : public ByteSource {
  public:
    MemoryByteSource(const uint8_t* bytes, size_t count) : bytes_(bytes), count_(count) {}
    uint64_t Size() const override { return count_; }
    bool Read(uint64_t offset, size_t length, uint8_t* out) override;

  private:
    const uint8_t* bytes_;
    size_t count_;
};

// An unsigned TIFF RATIONAL, as stored (the denominator is never 0 here).
struct Rational {
    uint32_t numerator = 0;
    uint32_t denominator = 1;
    double Value() const { return static_cast<double>(numerator) / denominator; }
    bool operator==(const Rational&) const = default;
};

// A range of the file's bytes, as offsets from its start.
struct ByteRange {
    uint64_t offset = 0;
    uint64_t length = 0;
    bool operator==(const ByteRange&) const = default;
};

struct ImageDimensions {
    uint32_t width = 0;
    uint32_t height = 0;
    bool operator==(const ImageDimensions&) const = default;
};

// What the reader found; each fact is empty when the file does not hold it, or holds it
// in a form or at a place that cannot be trusted. Texts are the stored bytes up to the
// first NUL, without trailing blanks.
struct ImageMetadata {
    std::optional<int> orientation;               // 1 to 8
    std::optional<std::string> dateTimeOriginal;  // "YYYY:MM:DD hh:mm:ss"
    std::optional<std::string> subSecTimeOriginal;
    std::optional<std::string> offsetTimeOriginal;  // "+hh:mm"
    std::optional<std::string> make;
    std::optional<std::string> model;
    std::optional<Rational> exposureTime;  // seconds
    std::optional<Rational> fNumber;
    std::optional<uint32_t> iso;
    std::optional<Rational> focalLength;  // millimetres
    // A JPEG's frame size; in a TIFF structure the largest full-resolution image among
    // the first directory and its SubIFDs, else the first directory's.
    std::optional<ImageDimensions> pixelSize;
    std::optional<ByteRange> thumbnail;  // the JPEG of the second directory (IFD1)
};

// Reads the facts of a JPEG or a file that starts with a TIFF header ("II*\0", "MM\0*",
// and the raw variants "IIRO" and "IIU\0").
ImageMetadata ReadImageMetadata(ByteSource& source);

// Where each directory comes from in the walk of a TIFF structure.
enum class TiffDirectoryKind { Chain, SubImage, Exif };

// One directory entry as the walk meets it. `directory` is the file offset of its
// directory, `place` that of its own 12 bytes.
struct TiffEntry {
    TiffDirectoryKind kind;
    int chainIndex;  // 0 for IFD0 and the directories it leads to, 1 for IFD1, ...
    uint64_t directory;
    uint64_t place;
    uint16_t tag;
    uint16_t type;
    uint32_t count;
};

// The TIFF structure at `base` (its header's first byte), `length` bytes long (within the
// source): every directory of the IFD chain and each directory's SubIFDs and EXIF
// directory, each once, entries in file order. `entry` returns false to stop the walk.
// `nextPointer` gets the file offset of each directory's next-directory field. False when
// there is no TIFF header at `base`.
struct TiffWalk {
    bool littleEndian = false;
    std::function<bool(const TiffEntry&)> entry;
    std::function<void(uint64_t place)> nextPointer;
};
bool WalkTiff(ByteSource& source, uint64_t base, uint64_t length, TiffWalk& walk);

// The TIFF structure of a JPEG's first APP1 "Exif" segment: its base and length; empty
// when there is none before the image data.
std::optional<ByteRange> FindJpegExif(ByteSource& source);

// The marker of a JPEG's first start-of-frame segment (0xC0 baseline, 0xC2 progressive,
// 0xC3 lossless, ...); empty when the source is no JPEG or none comes before the image data.
std::optional<uint8_t> JpegFrameMarker(ByteSource& source);
