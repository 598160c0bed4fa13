#include "app/metadata/image_metadata.h"

#include <algorithm>
#include <iterator>
#include <utility>
#include <cstring>
#include <vector>

namespace {

// Tags (TIFF 6.0 and EXIF 2.32).
enum Tag : uint16_t {
    kNewSubfileType = 0x00FE,
    kImageWidth = 0x0100,
    kImageLength = 0x0101,
    kMake = 0x010F,
    kModel = 0x0110,
    kOrientation = 0x0112,
    kSubIfds = 0x014A,
    kThumbnailOffset = 0x0201,  // JPEGInterchangeFormat
    kThumbnailLength = 0x0202,  // JPEGInterchangeFormatLength
    kExposureTime = 0x829A,
    kFNumber = 0x829D,
    kExifIfd = 0x8769,
    kIso = 0x8827,
    kDateTimeOriginal = 0x9003,
    kOffsetTimeOriginal = 0x9011,
    kFocalLength = 0x920A,
    kSubSecTimeOriginal = 0x9291,
};

enum Type : uint16_t {
    kByte = 1,
    kAscii = 2,
    kShort = 3,
    kLong = 4,
    kRational = 5,
    kUndefined = 7,
    kIfd = 13,
};

// Bounds that keep a hostile file's walk short: directories in all, SubIFDs of one
// directory, and bytes of one text.
constexpr size_t kMaximumDirectories = 256;
constexpr uint32_t kMaximumSubIfds = 64;
constexpr uint32_t kMaximumTextBytes = 4096;

// The size of one value of a type (BYTE ... IFD); 0 for types this reader never reads.
uint64_t TypeSize(uint16_t type) {
    static constexpr uint8_t kSizes[] = {0, 1, 1, 2, 4, 8, 1, 1, 2, 4, 8, 4, 8, 4};
    return type < std::size(kSizes) ? kSizes[type] : 0;
}

// A TIFF structure inside the source: reads relative to its header that never leave it.
class Tiff {
  public:
    Tiff(ByteSource& source, uint64_t base, uint64_t length)
        : source_(source), base_(base), length_(length) {}

    // Reads the header; false when there is none.
    bool Open() {
        uint8_t header[4];
        if (!Bytes(0, 4, header))
            return false;
        if (header[0] == 'I' && header[1] == 'I')
            little_ = true;
        else if (header[0] == 'M' && header[1] == 'M')
            little_ = false;
        else
            return false;
        // 42 for TIFF; "RO" and "RS" (Olympus ORF) and 0x55 (Panasonic RW2) mark the raw
        // formats built on the same structure.
        const uint16_t magic = U16(2).value_or(0);
        return magic == 42 || magic == 0x4F52 || magic == 0x5352 || magic == 0x55;
    }

    bool Little() const { return little_; }
    uint64_t Base() const { return base_; }
    uint64_t Length() const { return length_; }

    bool Bytes(uint64_t offset, uint64_t length, uint8_t* out) const {
        return offset <= length_ && length <= length_ - offset &&
               source_.Read(base_ + offset, static_cast<size_t>(length), out);
    }
    std::optional<uint16_t> U16(uint64_t offset) const {
        uint8_t b[2];
        if (!Bytes(offset, 2, b))
            return std::nullopt;
        return static_cast<uint16_t>(little_ ? b[0] | b[1] << 8 : b[0] << 8 | b[1]);
    }
    std::optional<uint32_t> U32(uint64_t offset) const {
        uint8_t b[4];
        if (!Bytes(offset, 4, b))
            return std::nullopt;
        const uint32_t first = little_ ? b[3] : b[0], second = little_ ? b[2] : b[1];
        const uint32_t third = little_ ? b[1] : b[2], fourth = little_ ? b[0] : b[3];
        return first << 24 | second << 16 | third << 8 | fourth;
    }

  private:
    ByteSource& source_;
    uint64_t base_;
    uint64_t length_;
    bool little_ = false;
};

// One entry with its value's place resolved: inline in the entry, or at an offset that
// lies inside the structure with all `count` values.
struct Entry {
    TiffEntry where;
    uint64_t valueOffset = 0;  // relative to the TIFF header
    bool valueInside = false;

    // The index-th value as an unsigned integer, for BYTE, SHORT, LONG and IFD values.
    std::optional<uint32_t> Unsigned(const Tiff& tiff, uint32_t index = 0) const {
        if (!valueInside || index >= where.count)
            return std::nullopt;
        switch (where.type) {
            case kByte: {
                uint8_t b;
                return tiff.Bytes(valueOffset + index, 1, &b) ? std::optional<uint32_t>(b)
                                                              : std::nullopt;
            }
            case kShort:
                return tiff.U16(valueOffset + 2ull * index);
            case kLong:
            case kIfd:
                return tiff.U32(valueOffset + 4ull * index);
            default:
                return std::nullopt;
        }
    }
};

// Walks the directories of a TIFF structure, each once, and hands each entry over with its
// value's place resolved.
class Walker {
  public:
    using Visit = std::function<bool(const Entry&)>;
    Walker(const Tiff& tiff, Visit visit, std::function<void(uint64_t)> nextPointer)
        : tiff_(tiff), visit_(std::move(visit)), nextPointer_(std::move(nextPointer)) {}

    void Run() {
        std::optional<uint32_t> next = tiff_.U32(4);
        for (int index = 0; next && *next != 0 && !stopped_; ++index)
            next = Directory(*next, TiffDirectoryKind::Chain, index);
    }

  private:
    // Walks the directory at `offset` and those it points to; gives the offset of the
    // next directory in its chain, empty where the chain ends or goes wrong.
    std::optional<uint32_t> Directory(uint32_t offset, TiffDirectoryKind kind, int chainIndex) {
        if (visited_.size() >= kMaximumDirectories ||
            std::find(visited_.begin(), visited_.end(), offset) != visited_.end())
            return std::nullopt;  // a loop, or more directories than any real file has
        visited_.push_back(offset);
        const std::optional<uint16_t> count = tiff_.U16(offset);
        const uint64_t first = uint64_t{offset} + 2;
        if (!count || first + 12ull * *count + 4 > tiff_.Length())
            return std::nullopt;
        std::vector<std::pair<uint32_t, TiffDirectoryKind>> children;
        for (uint32_t i = 0; i < *count && !stopped_; ++i) {
            const Entry entry = ReadEntry(offset, first + 12ull * i, kind, chainIndex);
            stopped_ = !visit_(entry);
            AddChildren(entry, children);
        }
        const uint64_t nextPlace = first + 12ull * *count;
        if (nextPointer_)
            nextPointer_(tiff_.Base() + nextPlace);
        // A directory's own entries come before those of the directories it points to.
        for (const auto& [child, childKind] : children)
            if (!stopped_)
                Directory(child, childKind, chainIndex);
        return tiff_.U32(nextPlace);
    }

    Entry ReadEntry(uint32_t directory, uint64_t at, TiffDirectoryKind kind, int chainIndex) const {
        Entry entry;
        entry.where = {kind,
                       chainIndex,
                       tiff_.Base() + directory,
                       tiff_.Base() + at,
                       tiff_.U16(at).value_or(0),
                       tiff_.U16(at + 2).value_or(0),
                       tiff_.U32(at + 4).value_or(0)};
        const uint64_t size = TypeSize(entry.where.type) * entry.where.count;
        if (size == 0)
            return entry;  // a type this reader never reads, or no values
        if (size <= 4) {
            entry.valueOffset = at + 8;
            entry.valueInside = true;
        } else if (const std::optional<uint32_t> offset = tiff_.U32(at + 8)) {
            entry.valueOffset = *offset;
            entry.valueInside = *offset <= tiff_.Length() && size <= tiff_.Length() - *offset;
        }
        return entry;
    }

    void AddChildren(const Entry& entry,
                     std::vector<std::pair<uint32_t, TiffDirectoryKind>>& children) const {
        if (entry.where.tag == kExifIfd) {
            if (const std::optional<uint32_t> exif = entry.Unsigned(tiff_))
                children.emplace_back(*exif, TiffDirectoryKind::Exif);
        } else if (entry.where.tag == kSubIfds) {
            const uint32_t count = std::min(entry.where.count, kMaximumSubIfds);
            for (uint32_t i = 0; i < count; ++i)
                if (const std::optional<uint32_t> sub = entry.Unsigned(tiff_, i))
                    children.emplace_back(*sub, TiffDirectoryKind::SubImage);
        }
    }

    const Tiff& tiff_;
    Visit visit_;
    std::function<void(uint64_t)> nextPointer_;
    std::vector<uint32_t> visited_;
    bool stopped_ = false;
};

std::optional<std::string> Text(const Tiff& tiff, const Entry& entry) {
    if (!entry.valueInside || (entry.where.type != kAscii && entry.where.type != kUndefined) ||
        entry.where.count > kMaximumTextBytes)
        return std::nullopt;
    std::string text(entry.where.count, '\0');
    if (!tiff.Bytes(entry.valueOffset, text.size(), reinterpret_cast<uint8_t*>(text.data())))
        return std::nullopt;
    text.resize(std::min(text.size(), text.find('\0')));
    while (!text.empty() && text.back() == ' ')
        text.pop_back();
    return text;
}

std::optional<Rational> UnsignedRational(const Tiff& tiff, const Entry& entry) {
    if (!entry.valueInside || entry.where.type != kRational || entry.where.count == 0)
        return std::nullopt;
    const std::optional<uint32_t> numerator = tiff.U32(entry.valueOffset);
    const std::optional<uint32_t> denominator = tiff.U32(entry.valueOffset + 4);
    if (!numerator || !denominator || *denominator == 0)
        return std::nullopt;
    return Rational{*numerator, *denominator};
}

// The first value a fact is given stays: IFD0 comes before the directories it leads to.
template <typename T>
void SetOnce(std::optional<T>& field, std::optional<T> value) {
    if (!field && value)
        field = std::move(value);
}

// What one directory says about its own image, to choose the pixel size afterwards.
struct DirectoryImage {
    uint64_t directory = 0;
    std::optional<uint32_t> width, height;
    bool reduced = false;  // NewSubfileType says: a reduced-resolution copy
};

using TextFact = std::optional<std::string> ImageMetadata::*;
constexpr std::pair<uint16_t, TextFact> kTexts[] = {
    {kMake, &ImageMetadata::make},
    {kModel, &ImageMetadata::model},
    {kDateTimeOriginal, &ImageMetadata::dateTimeOriginal},
    {kSubSecTimeOriginal, &ImageMetadata::subSecTimeOriginal},
    {kOffsetTimeOriginal, &ImageMetadata::offsetTimeOriginal},
};
using RationalFact = std::optional<Rational> ImageMetadata::*;
constexpr std::pair<uint16_t, RationalFact> kRationals[] = {
    {kExposureTime, &ImageMetadata::exposureTime},
    {kFNumber, &ImageMetadata::fNumber},
    {kFocalLength, &ImageMetadata::focalLength},
};

// Gathers the facts from the entries of a walk.
class Collector {
  public:
    explicit Collector(const Tiff& tiff) : tiff_(tiff) {}

    void Add(const Entry& entry) {
        const TiffEntry& e = entry.where;
        if (e.kind == TiffDirectoryKind::Chain && e.chainIndex == 1)
            return AddThumbnail(entry);
        if (e.chainIndex != 0)
            return;  // later directories describe other images
        if (e.kind != TiffDirectoryKind::Exif)
            AddImage(entry);
        switch (e.tag) {
            case kOrientation:
                if (const std::optional<uint32_t> value =
                        e.type == kShort ? entry.Unsigned(tiff_) : std::nullopt;
                    value && *value >= 1 && *value <= 8)
                    SetOnce(facts_.orientation, std::optional<int>(static_cast<int>(*value)));
                break;
            case kIso:
                if (e.type == kShort || e.type == kLong)
                    SetOnce(facts_.iso, entry.Unsigned(tiff_));
                break;
        }
        for (const auto& [tag, field] : kTexts)
            if (e.tag == tag)
                SetOnce(facts_.*field, Text(tiff_, entry));
        for (const auto& [tag, field] : kRationals)
            if (e.tag == tag)
                SetOnce(facts_.*field, UnsignedRational(tiff_, entry));
    }

    ImageMetadata Finish() {
        if (thumbnailOffset_ && thumbnailLength_ && *thumbnailLength_ > 0 &&
            *thumbnailOffset_ <= tiff_.Length() &&
            *thumbnailLength_ <= tiff_.Length() - *thumbnailOffset_)
            facts_.thumbnail = ByteRange{tiff_.Base() + *thumbnailOffset_, *thumbnailLength_};
        facts_.pixelSize = ChosenSize();
        return std::move(facts_);
    }

  private:
    void AddThumbnail(const Entry& entry) {
        if (entry.where.tag == kThumbnailOffset)
            SetOnce(thumbnailOffset_, entry.Unsigned(tiff_));
        else if (entry.where.tag == kThumbnailLength)
            SetOnce(thumbnailLength_, entry.Unsigned(tiff_));
    }

    void AddImage(const Entry& entry) {
        const TiffEntry& e = entry.where;
        if (images_.empty() || images_.back().directory != e.directory)
            images_.push_back({e.directory});
        DirectoryImage& image = images_.back();
        if (e.type != kShort && e.type != kLong)
            return;
        if (e.tag == kImageWidth)
            SetOnce(image.width, entry.Unsigned(tiff_));
        else if (e.tag == kImageLength)
            SetOnce(image.height, entry.Unsigned(tiff_));
        else if (e.tag == kNewSubfileType)
            image.reduced = (entry.Unsigned(tiff_).value_or(0) & 1) != 0;
    }

    // The largest full-resolution image (a raw file's IFD0 is often a small preview and
    // its sensor image a SubIFD), else the first directory's.
    std::optional<ImageDimensions> ChosenSize() const {
        std::optional<ImageDimensions> chosen, first;
        for (const DirectoryImage& image : images_) {
            if (image.width.value_or(0) == 0 || image.height.value_or(0) == 0)
                continue;
            const ImageDimensions size{*image.width, *image.height};
            if (&image == &images_.front())
                first = size;
            if (!image.reduced && (!chosen || uint64_t{size.width} * size.height >
                                                  uint64_t{chosen->width} * chosen->height))
                chosen = size;
        }
        return chosen ? chosen : first;
    }

    const Tiff& tiff_;
    ImageMetadata facts_;
    std::optional<uint32_t> thumbnailOffset_, thumbnailLength_;
    std::vector<DirectoryImage> images_;
};

ImageMetadata ReadTiff(ByteSource& source, uint64_t base, uint64_t length) {
    Tiff tiff(source, base, length);
    if (!tiff.Open())
        return {};
    Collector collector(tiff);
    Walker(
        tiff, [&](const Entry& entry) { return collector.Add(entry), true; }, nullptr)
        .Run();
    return collector.Finish();
}

// A JPEG marker segment: its marker and the place and length of its payload.
struct Segment {
    uint8_t marker = 0;
    uint64_t payload = 0;
    uint64_t length = 0;
};

// Calls `visit` for each marker segment before the image data, until it returns false.
void ForEachJpegSegment(ByteSource& source, const std::function<bool(const Segment&)>& visit) {
    uint8_t start[2];
    if (!source.Read(0, 2, start) || start[0] != 0xFF || start[1] != 0xD8)
        return;
    uint64_t offset = 2;
    uint8_t header[4];
    while (source.Read(offset, 2, header) && header[0] == 0xFF) {
        const uint8_t marker = header[1];
        if (marker == 0xFF) {  // fill byte
            ++offset;
            continue;
        }
        if (marker == 0xDA || marker == 0xD9)  // start of scan, end of image
            return;
        if (marker == 0x01 || (marker >= 0xD0 && marker <= 0xD8)) {  // no length
            offset += 2;
            continue;
        }
        if (!source.Read(offset, 4, header))
            return;
        const uint64_t length = uint64_t{header[2]} << 8 | header[3];
        if (length < 2 || offset + 2 + length > source.Size())
            return;
        if (!visit({marker, offset + 4, length - 2}))
            return;
        offset += 2 + length;
    }
}

bool IsStartOfFrame(uint8_t marker) {
    return marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC;
}

std::optional<ImageDimensions> FrameSize(ByteSource& source, const Segment& frame) {
    uint8_t b[5];  // precision, height, width
    if (frame.length < 5 || !source.Read(frame.payload, 5, b))
        return std::nullopt;
    const ImageDimensions size{static_cast<uint32_t>(b[3] << 8 | b[4]),
                               static_cast<uint32_t>(b[1] << 8 | b[2])};
    return size.width && size.height ? std::optional(size) : std::nullopt;
}

bool IsExifPayload(ByteSource& source, const Segment& segment) {
    static constexpr uint8_t kExif[6] = {'E', 'x', 'i', 'f', 0, 0};
    uint8_t b[6];
    return segment.marker == 0xE1 && segment.length > 6 && source.Read(segment.payload, 6, b) &&
           std::memcmp(b, kExif, 6) == 0;
}

ImageMetadata ReadJpeg(ByteSource& source) {
    ImageMetadata facts;
    std::optional<ImageDimensions> size;
    bool exifRead = false;  // only the first EXIF segment counts
    ForEachJpegSegment(source, [&](const Segment& segment) {
        if (!exifRead && IsExifPayload(source, segment)) {
            facts = ReadTiff(source, segment.payload + 6, segment.length - 6);
            exifRead = true;
        }
        if (IsStartOfFrame(segment.marker)) {
            size = FrameSize(source, segment);
            return false;  // the EXIF segment comes before the frame
        }
        return true;
    });
    facts.pixelSize = size;
    return facts;
}

}  // namespace

bool MemoryByteSource::Read(uint64_t offset, size_t length, uint8_t* out) {
    if (offset > count_ || length > count_ - offset)
        return false;
    if (length)
        std::memcpy(out, bytes_ + offset, length);
    return true;
}

ImageMetadata ReadImageMetadata(ByteSource& source) {
    uint8_t start[2];
    if (!source.Read(0, 2, start))
        return {};
    if (start[0] == 0xFF && start[1] == 0xD8)
        return ReadJpeg(source);
    return ReadTiff(source, 0, source.Size());
}

std::optional<ByteRange> FindJpegExif(ByteSource& source) {
    std::optional<ByteRange> exif;
    ForEachJpegSegment(source, [&](const Segment& segment) {
        if (IsExifPayload(source, segment))
            exif = ByteRange{segment.payload + 6, segment.length - 6};
        return !exif;
    });
    return exif;
}

bool WalkTiff(ByteSource& source, uint64_t base, uint64_t length, TiffWalk& walk) {
    if (base > source.Size() || length > source.Size() - base)
        return false;
    Tiff tiff(source, base, length);
    if (!tiff.Open())
        return false;
    walk.littleEndian = tiff.Little();
    Walker(
        tiff, [&](const Entry& entry) { return !walk.entry || walk.entry(entry.where); },
        walk.nextPointer)
        .Run();
    return true;
}

std::optional<uint8_t> JpegFrameMarker(ByteSource& source) {
    std::optional<uint8_t> marker;
    ForEachJpegSegment(source, [&](const Segment& segment) {
        if (IsStartOfFrame(segment.marker))
            marker = segment.marker;
        return !marker;
    });
    return marker;
}
