// The real zemo.exe, started in a directory of its own: its main window and its end.
#include <gtest/gtest.h>

#include <memory>
#include <optional>

#include "app/layout.h"
#include "tests/support/desktop.h"
#include "tests/support/process.h"

namespace {

const wchar_t kTitle[] = L"ZEMO文件分类整理 墨池社区";

class StartupTest : public ::testing::Test {
  protected:
    void SetUp() override {
        program = home / L"zemo.exe";
        ASSERT_TRUE(CopyFileW(ProgramPath(L"zemo.exe").c_str(), program.c_str(), FALSE));
        process = std::make_unique<TestProcess>(program, L"", home.Path());
        ASSERT_TRUE(process->Started());
        mainWindow = WaitForTopLevelWindow(process->Id(), L"WTWindow");
        ASSERT_TRUE(mainWindow) << "no main window appeared";
    }

    TempDirectory home;
    std::wstring program;
    std::unique_ptr<TestProcess> process;
    HWND mainWindow = nullptr;
};

TEST_F(StartupTest, MainWindowIsTitledCentredFramedAndClosesTheProgramWithExitCode0AnyCodePage) {
    // The title reads back as UTF-16 whatever the system's code page.
    EXPECT_EQ(WindowText(mainWindow), kTitle);
    const std::wstring title = kTitle;
    EXPECT_EQ(FindTopLevelWindow(process->Id(), L"", &title), mainWindow);

    const int width = MainWindowLayout::kWindow.width;
    const int height = MainWindowLayout::kWindow.height;
    const int left = (GetSystemMetrics(SM_CXSCREEN) - width) / 2;  // 425 on 1920 x 1080
    const int top = (GetSystemMetrics(SM_CYSCREEN) - height) / 2;  // 220
    EXPECT_TRUE(WaitUntil([&] {
        const RECT r = ScreenRect(mainWindow);
        return r.left == left && r.top == top && r.right - r.left == width &&
               r.bottom - r.top == height;
    }));
    EXPECT_TRUE(IsWindowVisible(mainWindow));

    const LONG style = GetWindowLongW(mainWindow, GWL_STYLE);
    EXPECT_EQ(style & (WS_SYSMENU | WS_MINIMIZEBOX | WS_MAXIMIZEBOX | WS_CLIPCHILDREN),
              WS_SYSMENU | WS_MINIMIZEBOX | WS_MAXIMIZEBOX | WS_CLIPCHILDREN);
    EXPECT_EQ(style & WS_THICKFRAME, 0) << "the frame must not be resizable";
    EXPECT_TRUE(GetWindowLongW(mainWindow, GWL_EXSTYLE) & WS_EX_CLIENTEDGE);

    // Window icons cannot be read across processes here: check the resource the window
    // takes its small icon from.
    const HMODULE image = LoadLibraryExW(program.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_TRUE(image);
    EXPECT_TRUE(FindResourceW(image, MAKEINTRESOURCEW(129), RT_GROUP_ICON));
    FreeLibrary(image);

    PostMessageW(mainWindow, WM_CLOSE, 0, 0);
    const std::optional<DWORD> exitCode = process->WaitForExit(10000);
    ASSERT_TRUE(exitCode) << "the program did not end after its main window was closed";
    EXPECT_EQ(*exitCode, 0u);
}

}  // namespace
