// Photos in the preview pane of the real program, read back as pixels off the screen.
#include <gtest/gtest.h>

#include <string>

#include "app/preview/image_decoder.h"
#include "app/preview/image_pane.h"
#include "tests/support/config_file.h"
#include "tests/support/folder_session.h"
#include "tests/support/row_presses.h"
#include "tests/support/image_files.h"
#include "tests/support/input.h"
#include "tests/support/raw_files.h"
#include "tests/support/zemo_app.h"

namespace {

constexpr COLORREF kRed = RGB(230, 20, 20);
constexpr COLORREF kGreen = RGB(20, 200, 40);
constexpr COLORREF kBlue = RGB(30, 60, 220);
constexpr COLORREF kYellow = RGB(230, 210, 30);
constexpr COLORREF kGrey = RGB(128, 128, 128);
constexpr COLORREF kMessageText = RGB(230, 230, 230);

// The photo's part of the pane, above the facts line.
class PhotoShot : public ScreenShot {
  public:
    explicit PhotoShot(HWND pane) : ScreenShot(pane), height_(ImagePanePhotoArea(pane).bottom) {}
    int Height() const { return height_; }
    COLORREF Centre() const { return At(Width() / 2, height_ / 2); }

  private:
    int height_;
};

class PreviewTest : public FolderSessionTest {
  protected:
    // Waits until the pane is on screen and `condition` holds for its photo's part.
    bool PhotoShows(const std::function<bool(const PhotoShot&)>& condition) {
        const HWND pane = Pane();
        return WaitUntil([&] { return IsWindowVisible(pane) && condition(PhotoShot(pane)); });
    }
    // The message: text-coloured pixels along the middle row, and only background and
    // text (with its smoothing) in the pane.
    bool ShowsMessage() {
        return PhotoShows([](const PhotoShot& shot) {
            int text = 0;
            for (int x = 0; x < shot.Width(); ++x)
                for (int y = shot.Height() / 2 - 8; y <= shot.Height() / 2 + 8; ++y)
                    text += NearColour(shot.At(x, y), kMessageText, 60) ? 1 : 0;
            const bool plainCorners =
                shot.At(4, 4) == kPreviewBackground &&
                shot.At(shot.Width() - 5, shot.Height() - 5) == kPreviewBackground;
            return text > 10 && plainCorners;
        });
    }

    // A JPEG's bytes: its top half one colour, its bottom half another.
    std::string JpegBytes(int width, int height, COLORREF top, COLORREF bottom) {
        const std::wstring path = parts_ / L"part.jpg";
        if (!WriteImage(path, GUID_ContainerFormatJpeg, width, height,
                        [&](int, int y) { return y < height / 2 ? top : bottom; }))
            return {};
        return ReadFileBytes(path).value_or("");
    }
    // A width x height photo of one colour, centred in the pane, not enlarged.
    bool ShowsCentred(COLORREF colour, int width, int height) {
        return PhotoShows([&](const PhotoShot& shot) {
            const int cx = shot.Width() / 2, cy = shot.Height() / 2;
            const int dx = width / 2 - 8, dy = height / 2 - 8;
            return NearColour(shot.At(cx - dx, cy - dy), colour) &&
                   NearColour(shot.At(cx + dx, cy + dy), colour) &&
                   shot.At(cx + width / 2 + 8, cy) == kPreviewBackground;
        });
    }

    TempDirectory parts_;
};

}  // namespace

// Photos show fitted, centred and never enlarged, RAW files their largest JPEG upright, and
// a damaged file or a RAW file without a JPEG the message; a photo may be moved while its
// decode runs.
TEST_F(PreviewTest, PhotosAndRawFilesShowFittedUprightNeverEnlargedDamagedOnesTheMessage) {
    ASSERT_TRUE(
        WriteSolidImage(source_ / L"green.tif", GUID_ContainerFormatTiff, 640, 480, kGreen));
    WriteFileBytes(source_ / L"notes.txt", "text");
    WriteFileBytes(source_ / L"corrupt.jpg",
                   std::string("\xFF\xD8\xFF\xE0 not a photo at all", 23));
    ASSERT_TRUE(WriteSolidImage(source_ / L"small.bmp", GUID_ContainerFormatBmp, 100, 100, kRed));
    ASSERT_TRUE(WriteImage(source_ / L"huge.jpg", GUID_ContainerFormatJpeg, 6000, 4000,
                           [](int x, int y) { return RGB(x % 256, y % 256, 90); }));
    const std::string grey = JpegBytes(40, 30, kGrey, kGrey);
    // Lying on its side: orientation 6 turns the red top to the right.
    ASSERT_TRUE(
        WriteFileBytes(source_ / L"side.NEF", NefBytes(JpegBytes(240, 160, kRed, kBlue), 6)));
    ASSERT_TRUE(
        WriteFileBytes(source_ / L"two.dng", DngBytes(grey, JpegBytes(200, 150, kGreen, kGreen))));
    // Upside down by the JPEG's own EXIF: the yellow top shows at the bottom.
    ASSERT_TRUE(
        WriteFileBytes(source_ / L"fuji.raf",
                       RafBytes(WithExifOrientation(JpegBytes(200, 150, kYellow, kBlue), 3))));
    ASSERT_TRUE(WriteFileBytes(
        source_ / L"three.cr3",
        Cr3Bytes(grey, JpegBytes(60, 40, kGrey, kGrey), JpegBytes(220, 160, kBlue, kBlue))));
    ASSERT_TRUE(WriteFileBytes(source_ / L"empty.dng", DngWithoutJpegBytes()));
    StartOn(RuleConfig({L"M=移动文件|" + target_.Path()}), {}, 10);

    // 640 x 480 across the pane's width: a band three quarters of the width high, centred.
    ASSERT_TRUE(SelectFile(L"green.tif"));
    EXPECT_TRUE(PhotoShows([](const PhotoShot& shot) {
        const int band = shot.Width() * 3 / 4, middle = shot.Height() / 2;
        return NearColour(shot.At(2, middle), kGreen) &&
               NearColour(shot.At(shot.Width() - 3, middle), kGreen) &&
               NearColour(shot.At(shot.Width() / 2, middle - band / 2 + 3), kGreen) &&
               shot.At(shot.Width() / 2, middle - band / 2 - 3) == kPreviewBackground;
    }));
    ASSERT_TRUE(SelectFile(L"notes.txt"));  // other files leave the pane as it is
    EXPECT_TRUE(
        PhotoShows([](const PhotoShot& shot) { return NearColour(shot.Centre(), kGreen); }));

    // A damaged file replaces the photo with the message, and no box.
    ASSERT_TRUE(SelectFile(L"corrupt.jpg"));
    EXPECT_TRUE(ShowsMessage());
    EXPECT_TRUE(NoMessageBox(app_->Process().Id()));

    // 100 x 100 stays 100 x 100 in the middle.
    ASSERT_TRUE(SelectFile(L"small.bmp"));
    EXPECT_TRUE(PhotoShows([](const PhotoShot& shot) {
        const int cx = shot.Width() / 2, cy = shot.Height() / 2;
        return NearColour(shot.At(cx - 45, cy - 45), kRed) &&
               NearColour(shot.At(cx + 45, cy + 45), kRed) &&
               shot.At(cx - 56, cy) == kPreviewBackground &&
               shot.At(cx, cy + 56) == kPreviewBackground;
    }));

    // RAW files.
    ASSERT_TRUE(SelectFile(L"side.NEF"));
    EXPECT_TRUE(PhotoShows([](const PhotoShot& shot) {
        const int cx = shot.Width() / 2, cy = shot.Height() / 2;  // 160 wide, 240 high
        return NearColour(shot.At(cx + 40, cy - 100), kRed) &&
               NearColour(shot.At(cx - 40, cy + 100), kBlue) &&
               shot.At(cx + 90, cy) == kPreviewBackground;
    }));
    ASSERT_TRUE(SelectFile(L"two.dng"));
    EXPECT_TRUE(ShowsCentred(kGreen, 200, 150));  // the SubIFD's, not IFD0's 40 x 30
    ASSERT_TRUE(SelectFile(L"fuji.raf"));
    EXPECT_TRUE(PhotoShows([](const PhotoShot& shot) {
        const int cx = shot.Width() / 2, cy = shot.Height() / 2;
        return NearColour(shot.At(cx, cy + 40), kYellow) && NearColour(shot.At(cx, cy - 40), kBlue);
    }));
    ASSERT_TRUE(SelectFile(L"three.cr3"));
    EXPECT_TRUE(ShowsCentred(kBlue, 220, 160));  // the track's, not THMB's or PRVW's
    ASSERT_TRUE(SelectFile(L"empty.dng"));
    EXPECT_TRUE(ShowsMessage());

    // Focusing a neighbour decodes huge.jpg ahead; it is moved while that decode may still run.
    const int huge = RowOf(L"huge.jpg");
    ASSERT_TRUE(app_->ClickFileRow(huge > 0 ? huge - 1 : 1));
    ASSERT_TRUE(PressOnFile(*app_, L"huge.jpg", {'M'}));
    EXPECT_TRUE(RowResultIs(*app_, huge, L"移动成功"));
    EXPECT_TRUE(FileExists(target_ / L"huge.jpg"));
    EXPECT_FALSE(FileExists(source_ / L"huge.jpg"));
}
