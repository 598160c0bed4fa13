// The photo preview's pure steps (fitting, turning, compositing, the extension lists) and
// decoding real files through the imaging component.
#include <gtest/gtest.h>

#include <objbase.h>
#include <wrl/client.h>

#include "app/preview/image_decoder.h"
#include "app/base/ui_thread.h"
#include "app/preview/media_preview.h"
#include "app/base/unique_file.h"
#include "tests/support/image_files.h"
#include "tests/support/process.h"
#include "tests/support/raw_files.h"
#include "tests/support/sorting_files.h"
#include "tests/support/wait.h"
#include "tests/unit/tiff_builder.h"

using Microsoft::WRL::ComPtr;

namespace {

class WicTest : public ::testing::Test {
  protected:
    void SetUp() override {
        CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
        ASSERT_HRESULT_SUCCEEDED(CoCreateInstance(CLSID_WICImagingFactory, nullptr,
                                                  CLSCTX_INPROC_SERVER, IID_PPV_ARGS(&factory_)));
    }
    // A 200 x 100 JPEG, red on its left half and blue on its right.
    std::string RedBlueJpeg() {
        const std::wstring stored = files_ / L"stored.jpg";
        EXPECT_TRUE(WriteImage(stored, GUID_ContainerFormatJpeg, 200, 100, [](int x, int) {
            return x < 100 ? RGB(255, 0, 0) : RGB(0, 0, 255);
        }));
        return ReadFileBytes(stored).value_or("");
    }

    ComPtr<IWICImagingFactory> factory_;
    TempDirectory files_;
};

}  // namespace

TEST(ImageFitTest, KeepsSmallImagesAndFitsLargeOnesWithTheirProportions) {
    EXPECT_EQ((PixelSize{100, 100}), FitInside({100, 100}, {365, 592}));
    EXPECT_EQ((PixelSize{365, 91}), FitInside({4000, 1000}, {365, 592}));   // letterboxed
    EXPECT_EQ((PixelSize{148, 592}), FitInside({1000, 4000}, {365, 592}));  // pillarboxed
    EXPECT_EQ((PixelSize{365, 1}), FitInside({100000, 1}, {365, 592}));     // never 0 high
    EXPECT_EQ((PixelSize{}), FitInside({10, 10}, {0, 0}));
    EXPECT_EQ((PixelSize{}), FitInside({0, 10}, {365, 592}));
}

TEST(ApplyOrientationTest, TurnsAndMirrorsTheStoredPixelsUpright) {
    // 3 x 2 stored: 0 1 2 / 3 4 5. Expected upright pixels for each orientation.
    const PreviewImage stored{3, 2, {0, 1, 2, 3, 4, 5}};
    const std::vector<std::pair<int, std::vector<uint32_t>>> cases = {
        {1, {0, 1, 2, 3, 4, 5}}, {2, {2, 1, 0, 5, 4, 3}}, {3, {5, 4, 3, 2, 1, 0}},
        {4, {3, 4, 5, 0, 1, 2}}, {5, {0, 3, 1, 4, 2, 5}}, {6, {3, 0, 4, 1, 5, 2}},
        {7, {5, 2, 4, 1, 3, 0}}, {8, {2, 5, 1, 4, 0, 3}},
    };
    for (const auto& [orientation, expected] : cases) {
        const PreviewImage turned = ApplyOrientation(stored, orientation);
        const bool swapped = orientation >= 5;
        EXPECT_EQ(swapped ? 2 : 3, turned.width) << orientation;
        EXPECT_EQ(swapped ? 3 : 2, turned.height) << orientation;
        EXPECT_EQ(expected, turned.pixels) << orientation;
    }
}

TEST(CompositeTest, TransparentPixelsTakeTheBackgroundAndOpaqueOnesStay) {
    std::vector<uint32_t> pixels = {0x00000000, 0xFF102030, 0x80400000};
    CompositeOverBackground(pixels, RGB(100, 100, 100));
    EXPECT_EQ(0x00646464u, pixels[0]);
    EXPECT_EQ(0x00102030u, pixels[1]);
    EXPECT_EQ(0x00723232u, pixels[2]);  // half-covered red over grey
}

TEST(ExtensionTest, CodecListsSplitInLowerCaseAndMediaExtensionsMatchWithoutRegardToCase) {
    EXPECT_EQ((std::vector<std::wstring>{L".jpg", L".jpeg", L".jfif"}),
              SplitExtensionList(L".JPG;.jpeg,.Jfif"));
    EXPECT_EQ((std::vector<std::wstring>{L".bmp", L".dib", L".rle"}),
              SplitExtensionList(L".bmp, .dib ,.rle,"));
    EXPECT_EQ((std::vector<std::wstring>{L".ico"}), SplitExtensionList(L"ico"));
    EXPECT_TRUE(SplitExtensionList(L"").empty());

    for (const wchar_t* media : {L".mp4", L".Mov", L".mkv", L".webm", L".3gp", L".MPEG", L".mp3",
                                 L".m4a", L".FLAC", L".ogg", L".wma", L".wav", L".aac"})
        EXPECT_TRUE(IsPlayableMediaExtension(media)) << media;
    for (const wchar_t* other : {L".mp", L".mp44", L"", L"mp4"})
        EXPECT_FALSE(IsPlayableMediaExtension(other)) << other;
}

TEST_F(WicTest, InstalledDecodersClaimTheCommonPhotoFormats) {
    const std::vector<std::wstring> extensions = InstalledImageExtensions(factory_.Get());
    for (const wchar_t* expected :
         {L".jpg", L".jpeg", L".png", L".gif", L".bmp", L".tif", L".tiff", L".ico"})
        EXPECT_NE(extensions.end(), std::find(extensions.begin(), extensions.end(), expected))
            << expected;
}

TEST_F(WicTest, DecodesFittedAndGivesNothingForBadTruncatedOrHugeFiles) {
    const std::wstring wide = files_ / L"wide.png";
    ASSERT_TRUE(WriteImage(wide, GUID_ContainerFormatPng, 800, 200,
                           [](int x, int) { return x < 400 ? RGB(255, 0, 0) : RGB(0, 0, 255); }));
    const PreviewImage fitted = DecodePreview(factory_.Get(), wide, {365, 592}).value();
    EXPECT_EQ(365, fitted.width);
    EXPECT_EQ(91, fitted.height);
    ASSERT_TRUE(fitted.Decoded());
    EXPECT_EQ(0x00FF0000u, fitted.pixels[10]);

    EXPECT_FALSE(DecodePreview(factory_.Get(), wide, {365, 592}, [] { return false; }))
        << "a decode nobody wants gives up";

    // A bitmap header for 24,000 x 30,000 pixels at 24 bits, then 2 GB of zeros (sparse
    // where the file system allows): refused without decoding it.
    const LONG width = 24000, height = 30000;
    const DWORD imageBytes = static_cast<DWORD>(width) * 3 * height;
    const DWORD offset = sizeof(BITMAPFILEHEADER) + sizeof(BITMAPINFOHEADER);
    const BITMAPFILEHEADER file = {0x4D42 /* "BM" */, offset + imageBytes, 0, 0, offset};
    const BITMAPINFOHEADER info = {sizeof(info), width, height, 1, 24, BI_RGB, imageBytes};
    ASSERT_TRUE(CreateLargeFile(files_ / L"huge.bmp", file.bfSize));
    {
        UniqueFile output(CreateFileW((files_ / L"huge.bmp").c_str(), GENERIC_WRITE, 0, nullptr,
                                      OPEN_EXISTING, 0, nullptr));
        DWORD written = 0;
        ASSERT_TRUE(WriteFile(output.Get(), &file, sizeof(file), &written, nullptr));
        ASSERT_TRUE(WriteFile(output.Get(), &info, sizeof(info), &written, nullptr));
    }
    WriteFileBytes(files_ / L"empty.jpg", "");
    WriteFileBytes(files_ / L"text.png", "just text");
    const std::wstring noisy = files_ / L"noisy.png";  // compresses badly: a cut loses rows
    ASSERT_TRUE(WriteImage(noisy, GUID_ContainerFormatPng, 300, 300, [](int x, int y) {
        return RGB(x * 7 % 256, y * 13 % 256, (x ^ y) % 256);
    }));
    const std::string whole = *ReadFileBytes(noisy);
    WriteFileBytes(files_ / L"truncated.png", whole.substr(0, whole.size() / 2));
    for (const wchar_t* bad :
         {L"empty.jpg", L"text.png", L"truncated.png", L"missing.jpg", L"huge.bmp"})
        EXPECT_FALSE(DecodePreview(factory_.Get(), files_ / bad, {365, 592})->Decoded()) << bad;
    EXPECT_TRUE(DeleteFileW((files_ / L"huge.bmp").c_str()));
}

// The large photo's EXIF is read through the decoder's stream, not from memory: the facts
// line still has the size as shown and the camera.
TEST_F(WicTest, PhotosAndRawJpegsAreTurnedUprightAsTheirOwnOrientationSays) {
    const std::string jpeg = RedBlueJpeg();
    ASSERT_FALSE(jpeg.empty());
    WriteFileBytes(files_ / L"turned.jpg", WithExifOrientation(jpeg, 8, true));
    TiffBuilder exif(false);
    const int ifd0 = exif.Directory();
    exif.Text(ifd0, 0x010F, "Canon");   // Make
    exif.Text(ifd0, 0x0110, "EOS R5");  // Model
    exif.Short(ifd0, 0x0112, 8);        // Orientation
    const std::string turned = WithExifTiff(jpeg, exif.Build());
    // Too large to read whole: zeros up to 65 MB after its end-of-image marker.
    ASSERT_TRUE(CreateLargeFile(files_ / L"large.jpg", 65ULL << 20));
    {
        UniqueFile output = OwnedFile(CreateFileW((files_ / L"large.jpg").c_str(), GENERIC_WRITE, 0,
                                                  nullptr, OPEN_EXISTING, 0, nullptr));
        DWORD written = 0;
        ASSERT_TRUE(WriteFile(output.Get(), turned.data(), static_cast<DWORD>(turned.size()),
                              &written, nullptr));
    }
    // The camera's JPEG says 8, the RAW says 1: the RAW is right.
    WriteFileBytes(files_ / L"level.nef", NefBytes(WithExifOrientation(jpeg, 8), 1));
    WriteFileBytes(files_ / L"side.NEF", NefBytes(jpeg, 6));

    constexpr COLORREF kRed = RGB(255, 0, 0), kBlue = RGB(0, 0, 255), kAny = CLR_INVALID;
    // Orientation 8 turns a quarter anticlockwise, bringing the stored right half to the top;
    // 6 a quarter clockwise, bringing the left half.
    const struct {
        const wchar_t* name;
        int width, height;
        COLORREF top;
    } cases[] = {{L"turned.jpg", 100, 200, kBlue},
                 {L"large.jpg", 100, 200, kBlue},
                 {L"level.nef", 200, 100, kAny},
                 {L"side.NEF", 100, 200, kRed}};
    for (const auto& c : cases) {
        const PreviewImage upright =
            DecodePreview(factory_.Get(), files_ / c.name, {365, 592}).value();
        ASSERT_EQ(c.width, upright.width) << c.name;
        ASSERT_EQ(c.height, upright.height) << c.name;
        const uint32_t top = upright.pixels[20 * upright.width + upright.width / 2];
        if (c.top != kAny) {
            EXPECT_TRUE(NearColour(c.top, RGB(top >> 16, top >> 8 & 0xFF, top & 0xFF))) << c.name;
        }
        if (std::wstring(c.name) == L"large.jpg") {
            EXPECT_EQ(0u, upright.facts.rfind(L"100×200 · ", 0)) << upright.facts;
            EXPECT_NE(std::wstring::npos, upright.facts.find(L" · Canon EOS R5 · "))
                << upright.facts;
        }
    }
    // The file is not held once it is shown.
    EXPECT_TRUE(DeleteFileW((files_ / L"side.NEF").c_str()));
}
