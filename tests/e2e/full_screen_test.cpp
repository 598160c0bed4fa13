// Full screen in the real program: F11 fills the monitor with the photo or the video, keys
// step and sort there with the result on the bottom line, Esc brings the window back as it
// was, and keys that rules take stay the rules' while a double-click still enters and leaves.
// Z, in the window, shows the photo's own pixels.
#include <gtest/gtest.h>

#include "app/preview/image_decoder.h"
#include "app/preview/image_pane.h"
#include "tests/support/config_file.h"
#include "tests/support/desktop.h"
#include "tests/support/folder_session.h"
#include "tests/support/image_files.h"
#include "tests/support/input.h"
#include "tests/support/zemo_app.h"
#include "tests/support/zoom_pixels.h"

namespace {

constexpr COLORREF kGreen = RGB(20, 200, 40);
constexpr COLORREF kRed = RGB(230, 20, 20);

class FullScreenTest : public FolderSessionTest {
  protected:
    std::wstring CopyRule(const std::wstring& key, const std::wstring& folder = L"精选") {
        CreateDirectoryW((target_ / folder).c_str(), nullptr);
        return key + L"=复制文件|" + (target_ / folder);
    }
    // Two photos larger than the screen, `more` files beside them, and the rules.
    void Start(std::initializer_list<std::wstring> rules, int more = 0) {
        ASSERT_TRUE(
            WriteSolidImage(source_ / L"a.png", GUID_ContainerFormatPng, 3000, 1500, kGreen));
        ASSERT_TRUE(WriteSolidImage(source_ / L"b.png", GUID_ContainerFormatPng, 3000, 1500, kRed));
        StartOn(RuleConfig(rules), {}, 2 + more);
        ASSERT_TRUE(SelectFile(L"a.png"));
        ASSERT_TRUE(
            PaneShows([](const ScreenShot& shot) { return NearColour(shot.Centre(), kGreen); }));
    }
    HWND FullScreenWindow() { return FindTopLevelWindow(app_->Process().Id(), L"ZemoFullScreen"); }
    // The monitor shows the photo across its middle row and black above and below it.
    bool ScreenShows(COLORREF photo) {
        return WaitUntil([&] {
            const HWND window = FullScreenWindow();
            if (!window)
                return false;
            const ScreenShot shot(window);
            const int w = GetSystemMetrics(SM_CXSCREEN), h = GetSystemMetrics(SM_CYSCREEN);
            return shot.Width() == w && shot.Height() == h && NearColour(shot.Centre(), photo) &&
                   NearColour(shot.At(5, h / 2), photo) &&
                   NearColour(shot.At(w - 5, h / 2), photo) &&
                   NearColour(shot.At(w / 2, 3), RGB(0, 0, 0), 8);
        });
    }
    // Some light text on the bottom line.
    bool BottomLineShown() {
        return WaitUntil([&] {
            const HWND window = FullScreenWindow();
            if (!window)
                return false;
            const ScreenShot shot(window);
            for (int y = shot.Height() - 20; y < shot.Height(); ++y)
                for (int x = 0; x < shot.Width(); x += 2)
                    if (GetRValue(shot.At(x, y)) > 150)
                        return true;
            return false;
        });
    }
};

}  // namespace

// A photo and a video fill the monitor, keys step and sort there, and Esc brings the window
// back as it was; in the window, Z shows the photo's own pixels at the pointer.
TEST_F(FullScreenTest, F11FillsTheMonitorKeysStepAndSortThereEscBringsTheWindowBackAndZZooms) {
    WriteFileBytes(source_ / L"clip.mp4", std::string(4096, 'v'));
    // One-pixel stripes: fitted they sample to anything; at 1:1 they alternate pixel by pixel.
    ASSERT_TRUE(WriteImage(source_ / L"x.png", GUID_ContainerFormatPng, 6000, 4000,
                           [](int x, int) { return x % 2 ? RGB(255, 255, 255) : RGB(0, 0, 0); }));
    ASSERT_TRUE(WriteImage(source_ / L"y.png", GUID_ContainerFormatPng, 6000, 4000,
                           [](int, int y) { return y % 2 ? RGB(255, 255, 255) : RGB(0, 0, 0); }));
    Start({CopyRule(KeyNameOf('1'))}, 3);
    const RECT window = ScreenRect(app_->MainWindow());
    PressKeys({VK_F11});
    ASSERT_TRUE(ScreenShows(kGreen));
    PressKeys({VK_DOWN});
    ASSERT_TRUE(ScreenShows(kRed));
    PressKeys({'1'});
    ASSERT_TRUE(WaitUntil([&] { return FileExists(target_ / L"精选\\b.png"); }));
    EXPECT_TRUE(BottomLineShown());
    PressKeys({VK_UP});
    ASSERT_TRUE(ScreenShows(kGreen));

    PressKeys({VK_ESCAPE});
    ASSERT_TRUE(WaitUntil([&] { return FullScreenWindow() == nullptr; }));
    const RECT back = ScreenRect(app_->MainWindow());
    EXPECT_TRUE(EqualRect(&window, &back));
    EXPECT_EQ(RowOf(L"a.png"), app_->FileList().FocusedRow());
    EXPECT_TRUE(app_->FileList().IsSelected(RowOf(L"a.png")));
    EXPECT_FALSE(app_->FileList().IsSelected(RowOf(L"b.png")));
    EXPECT_TRUE(
        PaneShows([](const ScreenShot& shot) { return NearColour(shot.Centre(), kGreen); }));

    // Under Wine the player shows its placeholder; what counts is where its window is.
    const auto playerIn = [](HWND parent) {
        return parent ? FindWindowExW(parent, nullptr, L"AtlAxWin", nullptr) : nullptr;
    };
    ASSERT_TRUE(SelectFile(L"clip.mp4"));
    PressKeys({VK_F11});
    const RECT monitor = {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    ASSERT_TRUE(WaitUntil([&] {
        const HWND player = playerIn(FullScreenWindow());
        const RECT place = ScreenRect(player);
        return IsWindowVisible(player) && EqualRect(&place, &monitor);
    }));
    PressKeys({VK_ESCAPE});
    ASSERT_TRUE(WaitUntil([&] { return FullScreenWindow() == nullptr; }));
    // The player is back in the window, where the pane is, not gone with the full screen.
    const HWND player = playerIn(app_->MainWindow());
    const RECT place = RectInParent(player), pane = RectInParent(Pane());
    EXPECT_TRUE(IsWindowVisible(player) && EqualRect(&place, &pane));

    ASSERT_TRUE(SelectFile(L"x.png"));
    ASSERT_TRUE(PaneShows([](const ScreenShot& shot) {
        return NearColour(shot.Centre(), RGB(0, 0, 0), 24) ||
               NearColour(shot.Centre(), RGB(255, 255, 255), 24);
    }));
    const RECT onScreen = ScreenRect(Pane());
    const POINT pointer = {(onScreen.left + onScreen.right) / 2 + 17,
                           (onScreen.top + onScreen.bottom) / 2 - 9};
    MoveMouseTo(pointer);
    // Alternating black and white one by one around the pointer, along a row or a column.
    const auto alternates = [&](bool alongRow) {
        return PaneShows([&](const ScreenShot& shot) {
            return AlternatesOneByOne(shot, {pointer.x - onScreen.left, pointer.y - onScreen.top},
                                      alongRow);
        });
    };
    PressKeys({'Z'});
    EXPECT_TRUE(alternates(true));
    PressKeys({VK_DOWN});  // to y.png, at the same place
    EXPECT_TRUE(alternates(false));
}

// Keys that rules take stay the rules': F1 sorts instead of showing the key legend, F11
// instead of entering full screen and Esc instead of leaving it; a double-click still enters
// and leaves.
TEST_F(FullScreenTest, RulesOnF1F11AndEscFireAndADoubleClickStillEntersAndLeaves) {
    Start({CopyRule(KeyNameOf(VK_F11)), CopyRule(KeyNameOf(VK_ESCAPE), L"其他"),
           CopyRule(KeyNameOf(VK_F1), L"图例")});
    PressKeys({VK_F11});
    ASSERT_TRUE(WaitUntil([&] { return ResultOf(L"a.png") == L"复制成功"; }));
    EXPECT_EQ(nullptr, FullScreenWindow());
    PressKeys({VK_F1});
    ASSERT_TRUE(WaitUntil([&] { return FileExists(target_ / L"图例\\a.png"); }));
    // The wide photo leaves the top of the pane to the background, where the legend would be.
    EXPECT_TRUE(PaneShows(
        [](const ScreenShot& shot) { return NearColour(shot.At(3, 3), kPreviewBackground, 8); }));

    const RECT pane = ScreenRect(Pane());
    DoubleClickAt({(pane.left + pane.right) / 2, (pane.top + pane.bottom) / 2});
    ASSERT_TRUE(ScreenShows(kGreen));
    PressKeys({VK_ESCAPE});
    ASSERT_TRUE(WaitUntil([&] { return FileExists(target_ / L"其他\\a.png"); }));
    EXPECT_NE(nullptr, FullScreenWindow()) << "Esc is the rule's";
    DoubleClickAt({GetSystemMetrics(SM_CXSCREEN) / 2, GetSystemMetrics(SM_CYSCREEN) / 2});
    EXPECT_TRUE(WaitUntil([&] { return FullScreenWindow() == nullptr; }));
}
