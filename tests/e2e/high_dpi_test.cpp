// The layout at a DPI other than 96: every rectangle of the main window and the rule
// dialog is today's scaled by DPI/96 from the start, and the key legend draws over the
// photo inside the pane.
// The system DPI is a setting of the Wine prefix, so this runs in a prefix of its own
// (tests/scripts/high_dpi_test.sh sets ZEMO_EXPECTED_DPI); elsewhere it is skipped.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "app/preview/image_decoder.h"
#include "app/preview/image_pane.h"
#include "app/preview/key_legend.h"
#include "tests/support/config_file.h"
#include "tests/support/image_files.h"
#include "tests/support/input.h"
#include "tests/support/layout_expectations.h"
#include "tests/support/wait.h"
#include "tests/support/zemo_app.h"

namespace {

UINT ScreenDpi() {
    const HDC screen = GetDC(nullptr);
    const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    return static_cast<UINT>(dpi);
}

class HighDpiLayout : public ::testing::Test {
  protected:
    void SetUp() override {
        if (const char* expected = std::getenv("ZEMO_EXPECTED_DPI"))
            ASSERT_EQ(static_cast<UINT>(std::atoi(expected)), dpi) << "the prefix's LogPixels";
        else if (dpi == kBaseDpi)
            GTEST_SKIP() << "runs in the high-DPI prefix of tests/scripts/high_dpi_test.sh";
    }

    const UINT dpi = ScreenDpi();
};

}  // namespace

TEST_F(HighDpiLayout, EveryRectangleIsTodaysScaledWithinOnePixel) {
    ZemoApp app;
    ASSERT_TRUE(app.Start());
    const LayoutSize window = MainWindowDefaultOuter(dpi);
    const LayoutBox frame = BoxOf(ScreenRect(app.MainWindow()));
    EXPECT_NEAR(window.width, frame.width, 1);
    EXPECT_NEAR(window.height, frame.height, 1);
    // The fonts and column widths come from the layout step that places these controls; the
    // application test checks them for every control and column.
    for (const ExpectedControl& control : MainWindowControls()) {
        HWND child = app.Control(control.id);
        ASSERT_NE(nullptr, child);
        const LayoutBox actual = BoxOf(RectInParent(child));
        EXPECT_TRUE(BoxNear(ScaleForDpi(control.box, dpi), actual, 1))
            << control.id << ": " << actual << " for " << control.box;
    }

    const std::optional<RuleDialog> dialog = app.OpenRuleDialog();
    ASSERT_TRUE(dialog);
    const LayoutBox outer = BoxOf(ScreenRect(dialog->window));
    const LayoutSize expected = ScaleForDpi(RuleDialogLayout::kWindow, dpi);
    EXPECT_NEAR(expected.width, outer.width, 1);
    EXPECT_NEAR(expected.height, outer.height, 1);
    const std::vector<HWND> children = ChildrenInOrder(dialog->window);
    const std::vector<LayoutBox> boxes = RuleDialogBoxes();
    ASSERT_EQ(boxes.size(), children.size());
    for (size_t i = 0; i < boxes.size(); ++i) {
        LayoutBox actual = BoxOf(RectInParent(children[i]));
        LayoutBox scaled = ScaleForDpi(boxes[i], dpi);
        if (children[i] == dialog->operationCombo)
            actual.height = scaled.height;  // a closed drop-down list is as high as its text
        EXPECT_TRUE(BoxNear(scaled, actual, 1)) << i << ": " << actual << " for " << boxes[i];
    }
}

// More rules than fit: the legend fills the photo's area from its top left, opaque, with
// text in it, and ends inside the area (above the facts line, within the pane's width).
TEST_F(HighDpiLayout, TheKeyLegendDrawsOverThePhotoAndFitsThePane) {
    constexpr COLORREF kGreen = RGB(20, 200, 40);
    TempDirectory photos;
    TempDirectory targets;
    ASSERT_TRUE(WriteSolidImage(photos / L"a.png", GUID_ContainerFormatPng, 600, 900, kGreen));
    std::vector<std::wstring> rules;
    for (const bool withControl : {false, true})
        for (const UINT key : std::wstring(L"ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789")) {
            const std::wstring hotkey =
                withControl ? KeyNameOf(VK_CONTROL) + L"+" + KeyNameOf(key) : KeyNameOf(key);
            rules.push_back(hotkey + L"=复制文件|" +
                            (targets / (L"按键图例的目标文件夹-" + std::to_wstring(rules.size()))));
        }
    ZemoApp app(RuleConfig(rules));
    ASSERT_TRUE(app.Start());
    ASSERT_TRUE(app.LoadDirectory(photos.Path(), 1));
    ASSERT_TRUE(app.ClickFileRow(0));
    const HWND pane = FindWindowExW(app.MainWindow(), nullptr, kImagePaneClass, nullptr);
    ASSERT_TRUE(WaitUntil([&] { return NearColour(ScreenShot(pane).Centre(), kGreen); }));

    PressKeys({VK_F1});
    ASSERT_TRUE(
        WaitUntil([&] { return NearColour(ScreenShot(pane).At(1, 1), kLegendBackground, 8); }));
    const ScreenShot shot(pane);
    const RECT area = ImagePanePhotoArea(pane);
    // The box's edges, along its padding at the top and the left.
    int right = 0;
    while (right < shot.Width() && NearColour(shot.At(right, 1), kLegendBackground, 8))
        ++right;
    int bottom = 0;
    while (bottom < shot.Height() && NearColour(shot.At(1, bottom), kLegendBackground, 8))
        ++bottom;
    EXPECT_LE(right, area.right);
    EXPECT_LE(bottom, area.bottom);
    EXPECT_GT(bottom, area.bottom * 9 / 10) << "the rules that do not fit fill the area";
    int photoPixels = 0, textPixels = 0;
    for (int y = 0; y < bottom; ++y)
        for (int x = 0; x < right; ++x) {
            photoPixels += NearColour(shot.At(x, y), kGreen);
            textPixels += NearColour(shot.At(x, y), kLegendText, 60);
        }
    EXPECT_EQ(0, photoPixels);
    EXPECT_GT(textPixels, right * bottom / 100) << "the entries are written in the box";
}
