// The embedded JPEGs of camera RAW files, on structures built here: what the synthetic
// files checked against exiftool (tests/scripts/raw_corpus.py) do not hold: sensor data
// stored as lossless JPEG, offsets and box sizes that point anywhere, orientations in the
// wrong directory. Platform-free: also built natively with sanitizers.
#include <gtest/gtest.h>

#include <string>

#include "app/metadata/raw_previews.h"
#include "tests/unit/tiff_builder.h"

namespace {

// The start of a JPEG up to its frame: the marker says baseline (0xC0), progressive (0xC2)
// or lossless (0xC3). Padded to `length` bytes.
std::string JpegStart(uint8_t frame, size_t length) {
    std::string bytes("\xFF\xD8\xFF\x00\x00\x0B\x08\x00\x10\x00\x10\x01\x01\x11\x00\xFF\xDA", 17);
    bytes[3] = static_cast<char>(frame);
    bytes.resize(length, '\x55');
    return bytes;
}

RawPreviews Find(const std::string& bytes) {
    MemoryByteSource source(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
    return FindRawPreviews(source);
}

// The JPEGs go at fixed places after the directories.
constexpr uint32_t kFirst = 1024, kSecond = 2048;
std::string WithData(std::string tiff, const std::string& first, const std::string& second = "") {
    tiff.resize(kFirst, '\0');
    tiff += first;
    tiff.resize(kSecond, '\0');
    return tiff + second;
}

std::string Box(const std::string& type, const std::string& payload) {
    const uint32_t size = static_cast<uint32_t>(8 + payload.size());
    return std::string{char(size >> 24), char(size >> 16 & 0xFF), char(size >> 8 & 0xFF),
                       char(size & 0xFF)} +
           type + payload;
}

std::string Big32(uint32_t v) {
    return {char(v >> 24), char(v >> 16 & 0xFF), char(v >> 8 & 0xFF), char(v & 0xFF)};
}

const std::string kPreviewUuid("\xea\xf4\x2b\x5e\x1c\x98\x4b\x88\xb9\xfb\xb7\xdc\x40\x6e\x4d\x16",
                               16);

// A CR3's top-level preview box around `jpeg`.
std::string PrvwBox(const std::string& jpeg) {
    return Box("uuid", kPreviewUuid + Big32(0) + Big32(1) +
                           Box("PRVW", Big32(0) + std::string(8, '\1') +
                                           Big32(uint32_t(jpeg.size())) + jpeg));
}

const std::string kCr3Type = Box("ftyp", "crx " + Big32(1) + "crx isom");

}  // namespace

TEST(RawPreviewsTest, TiffJpegsAreTheInterchangeRangesAndJpegStripsButNeverLosslessSensorData) {
    TiffBuilder tiff(true);
    const int ifd0 = tiff.Directory(), sub = tiff.Directory(), ifd1 = tiff.Directory();
    tiff.Short(ifd0, 0x0103, 6);  // IFD0's strip: a lossless JPEG, the sensor data
    tiff.Long(ifd0, 0x0111, kSecond);
    tiff.Long(ifd0, 0x0117, 300);
    tiff.Pointers(ifd0, 0x014A, {sub});
    tiff.Long(sub, 0x0201, kFirst);
    tiff.Long(sub, 0x0202, 200);
    tiff.Next(ifd0, ifd1);
    tiff.Long(ifd1, 0x0201, kFirst + 300);  // a baseline JPEG, but 0x202 is missing
    const std::string lossless = JpegStart(0xC3, 300);
    RawPreviews found = Find(WithData(tiff.Build(), JpegStart(0xC2, 200), lossless));
    EXPECT_EQ((std::vector<ByteRange>{{kFirst, 200}}), found.jpegs);
    EXPECT_EQ((ByteRange{kFirst, 200}), found.largest);

    // The same strip as a baseline JPEG is the larger preview.
    found = Find(WithData(tiff.Build(), JpegStart(0xC2, 200), JpegStart(0xC0, 300)));
    EXPECT_EQ((ByteRange{kSecond, 300}), found.largest);
    EXPECT_EQ(2u, found.jpegs.size());
}

TEST(RawPreviewsTest, MakerNotePreviewsOnlyInTheLayoutTheirMakerWrites) {
    // A maker note at kFirst whose one entry's values follow its directory, at kFirst + 18
    // (kFirst + 30 behind Sony's 12-byte header); the preview at kSecond.
    TiffBuilder le(true);
    auto file = [&](const std::string& make, const std::string& note, const std::string& jpeg) {
        TiffBuilder tiff(true);
        const int ifd0 = tiff.Directory(), exif = tiff.Directory();
        tiff.Text(ifd0, 0x010F, make);
        tiff.Pointers(ifd0, 0x8769, {exif});
        tiff.Raw(exif, 0x927C, 7, uint32_t(note.size()), kFirst);
        return WithData(tiff.Build(), note, jpeg);
    };
    auto canon = [&](uint32_t sizeWord) {  // PreviewImageInfo: LONG[12], 6 of them there
        return le.U16(1) + le.U16(0xB6) + le.U16(4) + le.U32(12) + le.U32(kFirst + 18) + le.U32(0) +
               le.U32(sizeWord) + le.U32(1) + le.U32(300) + le.U32(64) + le.U32(48) +
               le.U32(kSecond);
    };
    const std::string jpeg = JpegStart(0xC0, 300);
    EXPECT_EQ((ByteRange{kSecond, 300}), Find(file("Canon", canon(24), jpeg)).largest);
    EXPECT_FALSE(Find(file("Canon", canon(48), jpeg)).largest) << "a size word for 12 values";
    EXPECT_FALSE(Find(file("Zemo", canon(24), jpeg)).largest) << "another maker's note";

    // Sony's PreviewImage: its own 32-byte header, then the JPEG, taken only when it starts
    // FF D8 FF with DQT or APP1 (here an empty DQT, or the JPEG's own frame at once).
    auto sony = [&](const std::string& start) {
        const std::string preview = std::string(32, '\0') + start + jpeg.substr(2);
        return std::string("SONY DSC \0\0\0", 12) + le.U16(1) + le.U16(0x2001) + le.U16(7) +
               le.U32(uint32_t(preview.size())) + le.U32(kFirst + 30) + le.U32(0) + preview;
    };
    const std::string dqt("\xFF\xD8\xFF\xDB\x00\x02", 6);
    EXPECT_EQ((ByteRange{kFirst + 30 + 32, 304}), Find(file("SONY", sony(dqt), "")).largest);
    EXPECT_FALSE(Find(file("SONY", sony("\xFF\xD8"), "")).largest) << "the frame first";
    EXPECT_FALSE(Find(file("SONY", sony('\0' + dqt.substr(1)), "")).largest)
        << "its first byte cleared, as Sony's JPEG files hold it";
}

TEST(RawPreviewsTest, RangesOutsideTheFileOrWithoutAJpegAreLeftOut) {
    for (const auto& [offset, length] :
         std::vector<std::pair<uint32_t, uint32_t>>{{kFirst, 0xFFFFFFF0u},  // past the end
                                                    {0xFFFFFFF0u, 100},     // starts beyond
                                                    {kFirst, 1200},         // a byte too many
                                                    {kFirst + 1, 100},      // not at the JPEG
                                                    {kFirst, 2}}) {         // too short
        TiffBuilder tiff(false);
        const int ifd0 = tiff.Directory();
        tiff.Long(ifd0, 0x0201, offset);
        tiff.Long(ifd0, 0x0202, length);
        const RawPreviews found = Find(WithData(tiff.Build(), JpegStart(0xC0, 1199)));
        EXPECT_TRUE(found.jpegs.empty()) << offset << " " << length;
        EXPECT_FALSE(found.largest);
    }
}

TEST(RawPreviewsTest, OrientationIsIfd0sInEitherByteOrderAndTheRawMagics) {
    // TIFF's 42 in both orders, Olympus's "IIRO" and "MMOR", Panasonic's "IIU\0".
    const std::pair<bool, std::string> kHeaders[] = {
        {true, ""}, {false, ""}, {true, "RO"}, {false, "OR"}, {true, std::string("U\0", 2)}};
    for (const auto& [little, magic] : kHeaders) {
        TiffBuilder tiff(little, magic);
        const int ifd0 = tiff.Directory(), sub = tiff.Directory(), ifd1 = tiff.Directory();
        tiff.Pointers(ifd0, 0x014A, {sub});
        tiff.Short(sub, 0x0112, 3);
        tiff.Next(ifd0, ifd1);
        tiff.Short(ifd1, 0x0112, 8);
        EXPECT_FALSE(Find(tiff.Build()).orientation) << "another image's, " << little << magic;
        tiff.Short(ifd0, 0x0112, 6);
        EXPECT_EQ(6, Find(tiff.Build()).orientation) << little << magic;
    }
    TiffBuilder tiff(true);
    tiff.Short(tiff.Directory(), 0x0112, 9);  // not an orientation
    EXPECT_FALSE(Find(tiff.Build()).orientation);
}

TEST(RawPreviewsTest, RafHeaderJpegAndItsOwnOrientation) {
    TiffBuilder exif(false);
    exif.Short(exif.Directory(), 0x0112, 8);
    const std::string app1 = "Exif" + std::string(2, '\0') + exif.Build();
    const std::string jpeg = "\xFF\xD8\xFF\xE1" + std::string{char(0), char(app1.size() + 2)} +
                             app1 + JpegStart(0xC0, 40).substr(2);
    std::string raf = "FUJIFILMCCD-RAW 0201";
    raf.resize(84, '\0');
    raf += Big32(256) + Big32(uint32_t(jpeg.size()));
    raf.resize(256, '\0');
    raf += jpeg;
    const RawPreviews found = Find(raf);
    EXPECT_EQ((ByteRange{256, jpeg.size()}), found.largest);
    EXPECT_EQ(8, found.orientation);

    raf.replace(88, 4, Big32(uint32_t(jpeg.size() + 1)));  // one byte past the end
    EXPECT_FALSE(Find(raf).largest);
}

TEST(RawPreviewsTest, Cr3BoxesOfSizeZeroAndOneAreReadAndBadSizesEndTheWalk) {
    const std::string jpeg = JpegStart(0xC0, 64);
    EXPECT_EQ(1u, Find(kCr3Type + PrvwBox(jpeg)).jpegs.size());

    // Size 0: to the end of the file.
    std::string toEnd = kCr3Type + PrvwBox(jpeg);
    toEnd.replace(kCr3Type.size(), 4, Big32(0));
    EXPECT_EQ((ByteRange{kCr3Type.size() + 8 + 16 + 8 + 8 + 16, 64}), Find(toEnd).largest);

    // Size 1: a 64-bit size after the type.
    const std::string box = PrvwBox(jpeg);
    std::string large =
        kCr3Type + Big32(1) + "uuid" + Big32(0) + Big32(uint32_t(box.size() + 8)) + box.substr(8);
    EXPECT_EQ(1u, Find(large).jpegs.size());
    large.replace(kCr3Type.size() + 12, 4, Big32(uint32_t(box.size() + 9)));  // past the end
    EXPECT_TRUE(Find(large).jpegs.empty());

    for (const uint32_t size : {1u, 7u, 0xFFFFFFFFu}) {  // no 64-bit size; smaller than a header
        std::string bad = kCr3Type + PrvwBox(jpeg);
        bad.replace(kCr3Type.size(), 4, Big32(size));
        EXPECT_TRUE(Find(bad).jpegs.empty()) << size;
    }
    // A JPEG length in PRVW that leaves its box.
    std::string longer = kCr3Type + PrvwBox(jpeg);
    longer.replace(kCr3Type.size() + 8 + 16 + 8 + 8 + 12, 4, Big32(65));
    EXPECT_TRUE(Find(longer + std::string(16, '\0')).jpegs.empty());
}

TEST(RawPreviewsTest, Cr3TrackJpegNeedsItsJpegBoxAndABoxThatHoldsItselfEndsTheWalk) {
    const std::string jpeg = JpegStart(0xC0, 100);
    auto file = [&](bool jpegBox) {
        const std::string entry =
            Box("CRAW", std::string(78, '\0') + (jpegBox ? Box("JPEG", Big32(0)) : ""));
        const std::string stbl =
            Box("stbl", Box("stsd", Big32(0) + Big32(1) + entry) +
                            Box("stsz", Big32(0) + Big32(0) + Big32(1) + Big32(100)) +
                            Box("stco", Big32(0) + Big32(1) + Big32(0)));
        std::string moov = Box("moov", Box("trak", Box("mdia", Box("minf", stbl))));
        const uint32_t at = uint32_t(kCr3Type.size() + moov.size() + 8);
        moov.replace(moov.size() - 4, 4, Big32(at));
        return kCr3Type + moov + Box("mdat", jpeg);
    };
    const std::string withTrack = file(true);
    EXPECT_EQ((ByteRange{withTrack.size() - 100, 100}), Find(withTrack).largest);
    EXPECT_TRUE(Find(file(false)).jpegs.empty());

    // The trak's size made the moov's: it now starts its own parent's span and reaches past.
    std::string holdsItself = withTrack;
    holdsItself.replace(kCr3Type.size() + 8, 4, holdsItself.substr(kCr3Type.size(), 4));
    EXPECT_TRUE(Find(holdsItself).jpegs.empty());
}

TEST(RawPreviewsTest, RawExtensionsInAnyCase) {
    for (const wchar_t* raw : {L".nef", L".NEF", L".Cr3", L".dng", L".RAF", L".rw2", L".3fr"})
        EXPECT_TRUE(IsRawExtension(raw)) << raw;
    for (const wchar_t* other : {L".jpg", L".tif", L"", L".nefx", L"nef", L".ne"})
        EXPECT_FALSE(IsRawExtension(other)) << other;
}
