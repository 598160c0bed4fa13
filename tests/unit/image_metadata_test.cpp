// The image metadata reader on TIFF structures built here: what exiftool cannot be made to
// write (SubIFDs, the raw formats' headers, loops, offsets that point anywhere) and how
// little of the file it reads. Its values on real files are checked against exiftool by
// tests/scripts/metadata_compare.py. Platform-free: also built natively with sanitizers.
#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <string>
#include <vector>

#include "app/metadata/image_metadata.h"
#include "tests/unit/tiff_builder.h"

namespace {

// A TIFF structure with one directory entry (tag, type, value) in the given byte order.
std::string Tiff(bool little, uint16_t tag, uint16_t type, uint16_t value) {
    TiffBuilder tiff(little);
    tiff.Raw(tiff.Directory(), tag, type, 1, 0);
    std::string bytes = tiff.Build();
    bytes.replace(18, 2, tiff.U16(value));  // header 8, count 2, tag, type, count
    return bytes;
}

std::string Jpeg(const std::string& app1Payload, const std::string& afterApp1 = "") {
    const size_t length = app1Payload.size() + 2;
    std::string bytes = "\xFF\xD8";
    bytes += "\xFF\xE0";  // an APP0 segment before it, as cameras write
    bytes += std::string("\x00\x06JFIF", 6);
    bytes += "\xFF\xE1";
    bytes += char(length >> 8);
    bytes += char(length & 0xFF);
    bytes += app1Payload;
    bytes += afterApp1;
    bytes.append("\xFF\xDA\x00\x02", 4);  // the start of the image data
    return bytes;
}

const std::string kExif("Exif\0\0", 6);

ImageMetadata Read(const std::string& bytes) {
    MemoryByteSource source(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
    return ReadImageMetadata(source);
}

int Orientation(const std::string& bytes) {
    return Read(bytes).orientation.value_or(0);
}

// A photo's tags as a camera writes them: IFD0, its EXIF directory, IFD1 with a thumbnail.
std::string CameraTiff(bool little, std::string thumbnail = "\xFF\xD8 small \xFF\xD9") {
    TiffBuilder tiff(little);
    const int ifd0 = tiff.Directory(), exif = tiff.Directory(), ifd1 = tiff.Directory();
    tiff.Text(ifd0, 0x010F, "Zemo  ");
    tiff.Text(ifd0, 0x0110, "Model\0ignored");
    tiff.Short(ifd0, 0x0112, 6);
    tiff.Long(ifd0, 0x0100, 6000);
    tiff.Short(ifd0, 0x0101, 4000);
    tiff.Pointers(ifd0, 0x8769, {exif});
    tiff.Next(ifd0, ifd1);
    tiff.Rational(exif, 0x829A, 1, 250);
    tiff.Rational(exif, 0x829D, 28, 10);
    tiff.Short(exif, 0x8827, 800);
    tiff.Text(exif, 0x9003, "2024:05:06 07:08:09");
    tiff.Text(exif, 0x9011, "+09:00");
    tiff.Rational(exif, 0x920A, 35, 1);
    tiff.Text(exif, 0x9291, "045");
    const uint32_t thumbnailAt = static_cast<uint32_t>(tiff.Build().size() + 24 + 4);
    tiff.Long(ifd1, 0x0201, thumbnailAt);
    tiff.Long(ifd1, 0x0202, static_cast<uint32_t>(thumbnail.size()));
    std::string bytes = tiff.Build();
    return bytes + std::string(thumbnailAt - bytes.size(), '\0') + thumbnail;
}

// Serves a file of `size` bytes whose first bytes are `head` and the rest zeros, and
// counts what is read.
class CountingSource : public ByteSource {
  public:
    CountingSource(std::string head, uint64_t size) : head_(std::move(head)), size_(size) {}
    uint64_t Size() const override { return size_; }
    bool Read(uint64_t offset, size_t length, uint8_t* out) override {
        if (offset > size_ || length > size_ - offset)
            return false;
        bytesRead += length;
        for (size_t i = 0; i < length; ++i)
            out[i] = offset + i < head_.size() ? uint8_t(head_[offset + i]) : 0;
        return true;
    }
    uint64_t bytesRead = 0;

  private:
    std::string head_;
    uint64_t size_;
};

}  // namespace

TEST(ImageMetadataTest, ReadsTheOrientationInEitherByteOrderAndNothingFromOddOrDamagedData) {
    std::string wild = Tiff(true, 0x0112, 3, 6);
    wild.replace(4, 4, 4, '\xFF');  // a directory offset pointing far outside the bytes
    const std::pair<std::string, int> cases[] = {
        {Jpeg(kExif + Tiff(true, 0x0112, 3, 6)), 6},
        {Jpeg(kExif + Tiff(false, 0x0112, 3, 8)), 8},
        {Tiff(true, 0x0112, 3, 3), 3},                // a TIFF file's own header
        {Jpeg(kExif + Tiff(true, 0x0110, 3, 6)), 0},  // another tag
        {Jpeg(kExif + Tiff(true, 0x0112, 4, 6)), 0},  // not a SHORT
        {Jpeg(kExif + Tiff(true, 0x0112, 3, 9)), 0},  // out of range
        {Jpeg("XMP\0" + Tiff(true, 0x0112, 3, 6)), 0},
        {"plain text, no image", 0},
        {"", 0},
        {wild, 0},
    };
    for (const auto& [bytes, expected] : cases)
        EXPECT_EQ(expected, Orientation(bytes)) << ::testing::PrintToString(bytes);
    // Every cut of a good file stays inside its bytes and finds nothing or the tag.
    const std::string& good = cases[0].first;
    for (size_t length = 0; length < good.size(); ++length) {
        const int found = Orientation(good.substr(0, length));
        EXPECT_TRUE(found == 0 || found == 6) << length;
    }
}

TEST(ImageMetadataTest, ReadsEveryFactOfACameraTiffInEitherByteOrderAndInsideAJpeg) {
    for (const bool little : {true, false}) {
        const std::string tiff = CameraTiff(little);
        const std::string thumbnail = "\xFF\xD8 small \xFF\xD9";
        const std::string frame("\xFF\xC0\x00\x11\x08\x00\x30\x00\x40", 9);  // 64 x 48
        const std::string jpeg = Jpeg(kExif + tiff, frame + std::string(10, '\0'));
        for (const bool isJpeg : {false, true}) {
            const std::string& file = isJpeg ? jpeg : tiff;
            const ImageMetadata m = Read(file);
            EXPECT_EQ(6, m.orientation);
            EXPECT_EQ("Zemo", m.make);  // trailing blanks go
            EXPECT_EQ("Model", m.model);
            EXPECT_EQ("2024:05:06 07:08:09", m.dateTimeOriginal);
            EXPECT_EQ("045", m.subSecTimeOriginal);
            EXPECT_EQ("+09:00", m.offsetTimeOriginal);
            EXPECT_EQ((Rational{1, 250}), m.exposureTime);
            EXPECT_DOUBLE_EQ(2.8, m.fNumber.value().Value());
            EXPECT_EQ(800u, m.iso);
            EXPECT_EQ((Rational{35, 1}), m.focalLength);
            EXPECT_EQ(isJpeg ? (ImageDimensions{64, 48}) : (ImageDimensions{6000, 4000}),
                      m.pixelSize);
            ASSERT_TRUE(m.thumbnail);
            EXPECT_EQ(thumbnail, file.substr(m.thumbnail->offset, m.thumbnail->length))
                << "offsets count from the start of the file, in a JPEG too";
        }
    }
}

TEST(ImageMetadataTest, ThePixelSizeIsTheLargestFullResolutionImageAmongTheSubIfds) {
    // TIFF, Olympus ORF ("IIRO"), Panasonic RW2 ("IIU\0")
    for (const std::string& magic : {std::string(), std::string("RO"), std::string("U\0", 2)}) {
        TiffBuilder tiff(true, magic);
        const int ifd0 = tiff.Directory(), small = tiff.Directory(), sensor = tiff.Directory();
        tiff.Long(ifd0, 0x00FE, 1);  // a reduced-resolution preview
        tiff.Short(ifd0, 0x0100, 160);
        tiff.Short(ifd0, 0x0101, 120);
        tiff.Pointers(ifd0, 0x014A, {small, sensor});
        tiff.Long(small, 0x00FE, 1);
        tiff.Long(small, 0x0100, 1600);
        tiff.Long(small, 0x0101, 1200);
        tiff.Long(sensor, 0x00FE, 0);
        tiff.Long(sensor, 0x0100, 6016);
        tiff.Long(sensor, 0x0101, 4016);
        tiff.Short(sensor, 0x0112, 3);  // IFD0 has none: the sensor image's counts
        EXPECT_EQ((ImageDimensions{6016, 4016}), Read(tiff.Build()).pixelSize) << magic;
        EXPECT_EQ(3, Read(tiff.Build()).orientation) << magic;

        std::string bytes = tiff.Build();
        MemoryByteSource source(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
        std::vector<TiffDirectoryKind> kinds;
        TiffWalk walk;
        walk.entry = [&](const TiffEntry& e) { return kinds.push_back(e.kind), kinds.size() < 6; };
        ASSERT_TRUE(WalkTiff(source, 0, bytes.size(), walk));
        EXPECT_EQ((std::vector<TiffDirectoryKind>(4, TiffDirectoryKind::Chain)),
                  std::vector(kinds.begin(), kinds.begin() + 4));
        EXPECT_EQ(TiffDirectoryKind::SubImage, kinds.back());
        EXPECT_EQ(6u, kinds.size()) << "the walk stops when asked";
    }
    TiffBuilder onlyPreviews(false);
    const int ifd0 = onlyPreviews.Directory();
    onlyPreviews.Long(ifd0, 0x00FE, 1);
    onlyPreviews.Short(ifd0, 0x0100, 160);
    onlyPreviews.Short(ifd0, 0x0101, 120);
    EXPECT_EQ((ImageDimensions{160, 120}), Read(onlyPreviews.Build()).pixelSize);
}

TEST(ImageMetadataTest, LoopsAndOffsetsOutsideTheFileGiveNotFoundForTheirFactAlone) {
    TiffBuilder tiff(true);
    const int ifd0 = tiff.Directory(), exif = tiff.Directory(), ifd1 = tiff.Directory();
    tiff.Short(ifd0, 0x0112, 8);
    tiff.Raw(ifd0, 0x010F, 2, 20, 0xFFFFFFF0);  // Make far past the end
    tiff.Raw(ifd0, 0x0110, 2, 0xFFFFFFFF, 8);   // Model with a count past the end
    tiff.Pointers(ifd0, 0x8769, {exif});
    tiff.Pointers(exif, 0x8769, {ifd0});  // EXIF leads back to IFD0
    tiff.Raw(exif, 0x829A, 5, 1, 0);      // offset 0 is inside: the header's bytes, as stored
    tiff.Raw(exif, 0x829D, 5, 0x20000000, 8);
    tiff.Rational(exif, 0x920A, 35, 0);  // no denominator
    tiff.Next(ifd0, ifd1);
    tiff.Next(ifd1, ifd0);  // the chain loops
    tiff.Long(ifd1, 0x0201, 8);
    tiff.Long(ifd1, 0x0202, 0xFFFFFFF0);  // a thumbnail longer than the file
    const ImageMetadata m = Read(tiff.Build());
    EXPECT_EQ(8, m.orientation);
    EXPECT_FALSE(m.make);
    EXPECT_FALSE(m.model);
    EXPECT_EQ((Rational{0x002A4949, 8}), m.exposureTime);
    EXPECT_FALSE(m.fNumber);
    EXPECT_FALSE(m.focalLength);
    EXPECT_FALSE(m.thumbnail);

    // A JPEG's thumbnail must lie inside its EXIF segment, not just inside the file.
    const std::string thumbnail = "\xFF\xD8 small \xFF\xD9";
    const std::string camera = CameraTiff(true, thumbnail);
    const std::string jpeg =
        Jpeg(kExif + camera.substr(0, camera.size() - thumbnail.size()), thumbnail);
    EXPECT_FALSE(Read(jpeg).thumbnail);
    EXPECT_EQ(6, Read(jpeg).orientation);
}

TEST(ImageMetadataTest, ReadsOnlyTheStructureNotTheWholeFile) {
    CountingSource source(CameraTiff(false), 4ull << 30);  // a 4 GB raw file
    const ImageMetadata m = ReadImageMetadata(source);
    EXPECT_EQ("Zemo", m.make);
    EXPECT_TRUE(m.thumbnail);
    EXPECT_LT(source.bytesRead, 1024u);
}
