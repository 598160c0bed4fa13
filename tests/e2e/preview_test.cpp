// Photos in the preview pane of the real program, read back as pixels off the screen.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "app/image_decoder.h"
#include "app/image_pane.h"
#include "tests/support/config_file.h"
#include "tests/support/row_presses.h"
#include "tests/support/image_files.h"
#include "tests/support/input.h"
#include "tests/support/zemo_app.h"

namespace {

constexpr COLORREF kRed = RGB(230, 20, 20);
constexpr COLORREF kGreen = RGB(20, 200, 40);
constexpr COLORREF kBlue = RGB(20, 40, 230);
constexpr COLORREF kMessageText = RGB(230, 230, 230);

class PreviewTest : public ::testing::Test {
  protected:
    void Start(int files, std::optional<std::string> config = std::nullopt) {
        app_ = std::make_unique<ZemoApp>(std::move(config));
        ASSERT_TRUE(app_->Start());
        ASSERT_TRUE(app_->LoadDirectory(source_.Path(), files));
        pane_ = FindWindowExW(app_->MainWindow(), nullptr, kImagePaneClass, nullptr);
        player_ = FindWindowExW(app_->MainWindow(), nullptr, L"AtlAxWin", nullptr);
        ASSERT_NE(nullptr, pane_);
    }
    bool Select(const std::wstring& name) { return app_->ClickFileRow(FileRowOf(*app_, name)); }
    // Waits until the pane is on screen and `condition` holds for its pixels.
    bool PaneShows(const std::function<bool(const ScreenShot&)>& condition) {
        return WaitUntil([&] { return IsWindowVisible(pane_) && condition(ScreenShot(pane_)); });
    }
    bool CentreIs(COLORREF colour) {
        return PaneShows([&](const ScreenShot& shot) { return NearColour(shot.Centre(), colour); });
    }
    // The message: text-coloured pixels along the middle row, and only background and
    // text (with its smoothing) in the pane.
    bool ShowsMessage() {
        return PaneShows([](const ScreenShot& shot) {
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

    TempDirectory source_;
    std::unique_ptr<ZemoApp> app_;
    HWND pane_ = nullptr;
    HWND player_ = nullptr;
};

}  // namespace

TEST_F(PreviewTest, PhotosShowFittedUprightNeverEnlargedDamagedOnesTheMessageAndMoveWhileDecoded) {
    TempDirectory target;
    ASSERT_TRUE(WriteSolidImage(source_ / L"red.jpg", GUID_ContainerFormatJpeg, 640, 480, kRed));
    ASSERT_TRUE(WriteSolidImage(source_ / L"blue.PNG", GUID_ContainerFormatPng, 640, 480, kBlue));
    ASSERT_TRUE(
        WriteSolidImage(source_ / L"green.tif", GUID_ContainerFormatTiff, 640, 480, kGreen));
    WriteFileBytes(source_ / L"notes.txt", "text");
    ASSERT_TRUE(WriteSolidImage(source_ / L"wide.png", GUID_ContainerFormatPng, 4000, 1000, kBlue));
    ASSERT_TRUE(WriteSolidImage(source_ / L"small.bmp", GUID_ContainerFormatBmp, 100, 100, kRed));
    // Stored 300 x 100, red left and blue right, marked "turn 90 degrees clockwise": it
    // shows 100 x 300 with red at the top.
    const std::wstring stored = source_ / L"stored.jpg";
    ASSERT_TRUE(WriteImage(stored, GUID_ContainerFormatJpeg, 300, 100,
                           [](int x, int) { return x < 150 ? kRed : kBlue; }));
    const std::optional<std::string> bytes = ReadFileBytes(stored);
    ASSERT_TRUE(bytes);
    WriteFileBytes(source_ / L"phone.jpg", WithExifOrientation(*bytes, 6));
    DeleteFileW(stored.c_str());
    WriteFileBytes(source_ / L"corrupt.jpg",
                   std::string("\xFF\xD8\xFF\xE0 not a photo at all", 23));
    const std::wstring whole = source_ / L"whole.png";
    ASSERT_TRUE(WriteImage(whole, GUID_ContainerFormatPng, 300, 300, [](int x, int y) {
        return RGB(x * 7 % 256, y * 13 % 256, (x ^ y) % 256);  // compresses badly
    }));
    const std::optional<std::string> png = ReadFileBytes(whole);
    ASSERT_TRUE(png);
    WriteFileBytes(source_ / L"truncated.png", png->substr(0, png->size() / 2));
    DeleteFileW(whole.c_str());
    ASSERT_TRUE(WriteImage(source_ / L"huge.jpg", GUID_ContainerFormatJpeg, 6000, 4000,
                           [](int x, int y) { return RGB(x % 256, y % 256, 90); }));
    Start(10, RuleConfig({L"M=移动文件|" + target.Path()}));

    ASSERT_TRUE(Select(L"red.jpg"));
    EXPECT_TRUE(CentreIs(kRed));
    EXPECT_FALSE(IsWindowVisible(player_));
    ASSERT_TRUE(Select(L"blue.PNG"));
    EXPECT_TRUE(CentreIs(kBlue));
    ASSERT_TRUE(Select(L"green.tif"));
    EXPECT_TRUE(CentreIs(kGreen));
    ASSERT_TRUE(Select(L"notes.txt"));  // other files leave the pane as it is
    EXPECT_TRUE(CentreIs(kGreen));

    // 4000 x 1000 across the pane's width: a band of a quarter of the width, centred.
    ASSERT_TRUE(Select(L"wide.png"));
    EXPECT_TRUE(PaneShows([](const ScreenShot& shot) {
        const int band = shot.Width() / 4, middle = shot.Height() / 2;
        return NearColour(shot.At(2, middle), kBlue) &&
               NearColour(shot.At(shot.Width() - 3, middle), kBlue) &&
               NearColour(shot.At(shot.Width() / 2, middle - band / 2 + 3), kBlue) &&
               shot.At(shot.Width() / 2, middle - band / 2 - 3) == kPreviewBackground &&
               shot.At(shot.Width() / 2, 10) == kPreviewBackground;
    }));

    // 100 x 100 stays 100 x 100 in the middle.
    ASSERT_TRUE(Select(L"small.bmp"));
    EXPECT_TRUE(PaneShows([](const ScreenShot& shot) {
        const int cx = shot.Width() / 2, cy = shot.Height() / 2;
        return NearColour(shot.At(cx - 45, cy - 45), kRed) &&
               NearColour(shot.At(cx + 45, cy + 45), kRed) &&
               shot.At(cx - 56, cy) == kPreviewBackground &&
               shot.At(cx, cy + 56) == kPreviewBackground;
    }));

    ASSERT_TRUE(Select(L"phone.jpg"));
    EXPECT_TRUE(PaneShows([](const ScreenShot& shot) {
        const int cx = shot.Width() / 2, cy = shot.Height() / 2;
        return NearColour(shot.At(cx, cy - 100), kRed) &&
               NearColour(shot.At(cx, cy + 100), kBlue) &&
               shot.At(cx + 100, cy) == kPreviewBackground;
    }));

    // Corrupt and truncated files show the message, and no box.
    for (const wchar_t* name : {L"corrupt.jpg", L"truncated.png"}) {
        ASSERT_TRUE(Select(L"green.tif"));
        ASSERT_TRUE(CentreIs(kGreen));
        ASSERT_TRUE(Select(name));
        EXPECT_TRUE(ShowsMessage()) << name;
    }
    EXPECT_TRUE(NoMessageBox(app_->Process().Id()));

    // Focusing a neighbour decodes huge.jpg ahead; it is moved while that decode may still run.
    const int huge = FileRowOf(*app_, L"huge.jpg");
    ASSERT_TRUE(app_->ClickFileRow(huge > 0 ? huge - 1 : 1));
    ASSERT_TRUE(PressOnFile(*app_, L"huge.jpg", {'M'}));
    EXPECT_TRUE(RowResultIs(*app_, huge, L"移动成功"));
    EXPECT_TRUE(FileExists(target / L"huge.jpg"));
    EXPECT_FALSE(FileExists(source_ / L"huge.jpg"));
}
