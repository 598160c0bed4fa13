// The facts line under a photo: each fact's form, and what is left out when a file lacks it.
#include <gtest/gtest.h>

#include "app/metadata/photo_facts.h"

namespace {

ImageMetadata D850() {
    ImageMetadata m;
    m.pixelSize = ImageDimensions{6000, 4000};
    m.orientation = 1;
    m.dateTimeOriginal = "2026:01:28 14:05:09";
    m.make = "NIKON";
    m.model = "NIKON D850";
    m.exposureTime = Rational{1, 250};
    m.fNumber = Rational{28, 10};
    m.iso = 400;
    m.focalLength = Rational{50, 1};
    return m;
}

const FileFacts kFile{8'703'180, "2026-02-01 09:00:00"};
const std::string kTimes = "\xC3\x97";

}  // namespace

TEST(PhotoFacts, AFullPhotoShowsEveryFactInOrderAndAFileWithoutMetadataOnlyTimeAndSize) {
    EXPECT_EQ(
        "6000" + kTimes +
            "4000 \xC2\xB7 2026-01-28 14:05:09 \xC2\xB7 NIKON D850 \xC2\xB7 1/250 s f/2.8 ISO "
            "400 50 mm \xC2\xB7 8.3 MB",
        FactsLine(D850(), kFile));
    EXPECT_EQ("2026-02-01 09:00:00 \xC2\xB7 8.3 MB", FactsLine(ImageMetadata{}, kFile));
    // Only some of the exposure: the others are left out, not shown empty.
    ImageMetadata some;
    some.fNumber = Rational{16, 1};
    some.iso = 100;
    EXPECT_EQ("2026-02-01 09:00:00 \xC2\xB7 f/16 ISO 100 \xC2\xB7 1 KB",
              FactsLine(some, {1000, "2026-02-01 09:00:00"}));
}

TEST(PhotoFacts, PixelSizeIsUprightAndTheTimeAsWrittenElseTheFilesOwn) {
    ImageMetadata m = D850();
    m.orientation = 6;
    EXPECT_EQ("4000" + kTimes + "6000", PixelSizeFact(m));
    m.orientation = 3;
    EXPECT_EQ("6000" + kTimes + "4000", PixelSizeFact(m));
    m.pixelSize.reset();
    EXPECT_EQ("", PixelSizeFact(m));
    // Not turned into any other zone: the digits as the camera wrote them.
    m.offsetTimeOriginal = "+09:00";
    EXPECT_EQ("2026-01-28 14:05:09", TimeFact(m, kFile));
    m.dateTimeOriginal.reset();
    EXPECT_EQ(kFile.lastWriteTime, TimeFact(m, kFile));
}

TEST(PhotoFacts, TheMakeGoesInFrontOnlyWhenTheModelDoesNotStartWithIt) {
    ImageMetadata m;
    m.make = "Canon";
    m.model = "Canon EOS R5";
    EXPECT_EQ("Canon EOS R5", CameraFact(m));
    m.model = "canon eos r5";
    EXPECT_EQ("canon eos r5", CameraFact(m));
    m.make = "FUJIFILM";
    m.model = "X-T5";
    EXPECT_EQ("FUJIFILM X-T5", CameraFact(m));
    m.model.reset();
    EXPECT_EQ("FUJIFILM", CameraFact(m));
    EXPECT_EQ("", CameraFact(ImageMetadata{}));
}

// 1/250 s, f/2.8, 50 mm and 8.3 MB are the full line's.
TEST(PhotoFacts, ShutterApertureFocalLengthAndFileSizeAreRoundedAsPhotographersReadThem) {
    EXPECT_EQ("1/3 s", ShutterSpeedFact({10, 30}));
    EXPECT_EQ("1/250 s", ShutterSpeedFact({4, 1000}));
    EXPECT_EQ("1 s", ShutterSpeedFact({1, 1}));
    EXPECT_EQ("2.5 s", ShutterSpeedFact({5, 2}));
    EXPECT_EQ("f/16", ApertureFact({160, 10}));
    EXPECT_EQ("4 mm", FocalLengthFact({425, 100}));
    EXPECT_EQ("24 mm", FocalLengthFact({236, 10}));
    EXPECT_EQ("1.0 MB", FileSizeFact(1'048'576));
    EXPECT_EQ("1024 KB", FileSizeFact(1'048'575));
    EXPECT_EQ("0 KB", FileSizeFact(0));
}
