// The main window's size: a larger window sharing its room out and fitting the photo to it,
// and where the window opens again after it closed. The default size is the start-up
// test's.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "app/preview/image_decoder.h"
#include "app/preview/image_pane.h"
#include "tests/support/config_file.h"
#include "tests/support/image_files.h"
#include "tests/support/layout_expectations.h"
#include "tests/support/row_presses.h"
#include "tests/support/zemo_app.h"

namespace {

constexpr COLORREF kGreen = RGB(20, 200, 40);

// The width of the green run along the middle row of the photo's area.
int GreenWidth(HWND pane) {
    const ScreenShot shot(pane);
    const int middle = ImagePanePhotoArea(pane).bottom / 2;
    int green = 0;
    for (int x = 0; x < shot.Width(); ++x)
        green += NearColour(shot.At(x, middle), kGreen) ? 1 : 0;
    return green;
}

std::string ConfigText(const ZemoApp& app) {
    return ReadFileBytes(app.ConfigPath()).value_or("");
}

}  // namespace

TEST(WindowSize, ALargerWindowSharesItsRoomOutAndFitsThePhotoToTheLargerPane) {
    TempDirectory photos;
    ASSERT_TRUE(WriteSolidImage(photos / L"green.png", GUID_ContainerFormatPng, 1200, 300, kGreen));
    ZemoApp app;
    ASSERT_TRUE(app.Start());
    ASSERT_TRUE(app.LoadDirectory(photos.Path(), 1));
    const HWND pane = FindWindowExW(app.MainWindow(), nullptr, kImagePaneClass, nullptr);
    ASSERT_TRUE(app.ClickFileRow(0));
    int before = 0;
    ASSERT_TRUE(
        WaitUntil([&] { return IsWindowVisible(pane) && (before = GreenWidth(pane)) > 300; }));

    // The facts line: light text in the strip under the photo's area.
    EXPECT_TRUE(WaitUntil([&] {
        const ScreenShot shot(pane);
        int text = 0;
        for (int y = ImagePanePhotoArea(pane).bottom; y < shot.Height(); ++y)
            for (int x = 0; x < shot.Width(); ++x)
                text += NearColour(shot.At(x, y), RGB(230, 230, 230), 40) ? 1 : 0;
        return text > 20;
    }));

    const HWND main = app.MainWindow();
    SetWindowPos(main, nullptr, 0, 0, 1600, 1000, SWP_NOZORDER);
    RECT inside = {};
    GetClientRect(main, &inside);
    const LayoutSize client = {inside.right, inside.bottom};
    const MainWindowBoxes expected =
        ArrangeMainWindow(client, MainWindowDefaultClient(kBaseDpi), kBaseDpi);
    EXPECT_GT(client.width, 1500);
    EXPECT_EQ(expected.fileList, BoxOf(RectInParent(app.Control(kFileListId))));
    EXPECT_EQ(expected.rulesButton, BoxOf(RectInParent(app.Control(kRulesButtonId))));
    EXPECT_EQ(expected.ruleList, BoxOf(RectInParent(app.Control(kRuleListId))));
    EXPECT_EQ(expected.preview, BoxOf(RectInParent(pane)));
    // Decoded again for the pane's new size: the photo spans the wider pane.
    EXPECT_TRUE(WaitUntil([&] { return GreenWidth(pane) > before + 200; }))
        << before << " then " << GreenWidth(pane);
}

TEST(WindowSize, TheRestoredRectangleAndMaximisedStateOpenAgainAfterAClose) {
    ZemoApp app;
    ASSERT_TRUE(app.Start());
    SetWindowPos(app.MainWindow(), nullptr, 40, 50, 1300, 800, SWP_NOZORDER);
    ShowWindow(app.MainWindow(), SW_MAXIMIZE);
    ASSERT_TRUE(WaitUntil([&] { return IsZoomed(app.MainWindow()) != FALSE; }));
    ASSERT_EQ(0u, app.Close());
    const std::string config = ConfigText(app);
    EXPECT_NE(std::string::npos, config.find(Gbk(L"窗口=40,50,1300,800"))) << config;
    EXPECT_NE(std::string::npos, config.find(Gbk(L"最大化=1"))) << config;

    ASSERT_TRUE(app.Start());
    EXPECT_TRUE(WaitUntil([&] { return IsZoomed(app.MainWindow()) != FALSE; }));
    ShowWindow(app.MainWindow(), SW_RESTORE);
    EXPECT_TRUE(WaitUntil([&] {
        return BoxOf(ScreenRect(app.MainWindow())) == LayoutBox{40, 50, 1300, 800};
    })) << BoxOf(ScreenRect(app.MainWindow()));
    ASSERT_EQ(0u, app.Close());
    EXPECT_NE(std::string::npos, ConfigText(app).find(Gbk(L"最大化=0"))) << ConfigText(app);
}

TEST(WindowSize, ARectangleOffEveryMonitorOrTooSmallOpensAtTheDefaultPlace) {
    const LayoutSize outer = MainWindowDefaultOuter(kBaseDpi);
    const LayoutBox centred{(GetSystemMetrics(SM_CXSCREEN) - outer.width) / 2,
                            (GetSystemMetrics(SM_CYSCREEN) - outer.height) / 2, outer.width,
                            outer.height};
    for (const wchar_t* saved :
         {L"窗口=-30000,-30000,1300,800", L"窗口=20000,100,1300,800", L"窗口=10,10,600,400"}) {
        ZemoApp app(Gbk(std::wstring(L"[设置]\r\n") + saved + L"\r\n"));
        ASSERT_TRUE(app.Start());
        EXPECT_TRUE(WaitUntil([&] { return BoxOf(ScreenRect(app.MainWindow())) == centred; }))
            << saved << ": " << BoxOf(ScreenRect(app.MainWindow()));
    }
}
