// The layout at a DPI other than 96: every rectangle of the main window and the rule
// dialog is today's scaled by DPI/96 from the start.
// The system DPI is a setting of the Wine prefix, so this runs in a prefix of its own
// (tests/scripts/high_dpi_test.sh sets ZEMO_EXPECTED_DPI); elsewhere it is skipped.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstdlib>

#include "tests/support/layout_expectations.h"
#include "tests/support/zemo_app.h"

namespace {

UINT ScreenDpi() {
    const HDC screen = GetDC(nullptr);
    const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    return static_cast<UINT>(dpi);
}

}  // namespace

TEST(HighDpiLayout, EveryRectangleIsTodaysScaledWithinOnePixel) {
    const UINT dpi = ScreenDpi();
    if (const char* expected = std::getenv("ZEMO_EXPECTED_DPI"))
        ASSERT_EQ(static_cast<UINT>(std::atoi(expected)), dpi) << "the prefix's LogPixels";
    else if (dpi == kBaseDpi)
        GTEST_SKIP() << "runs in the high-DPI prefix of tests/scripts/high_dpi_test.sh";

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
