// The real zemo.exe started as a user starts it: from a folder of its own, here one whose
// name is outside the ANSI code page, with a folder on the command line as "Open with"
// and shortcuts pass it. Its main window, its default size and layout in a resizable frame,
// its rules and the folder read.
#include <gtest/gtest.h>

#include <set>

#include "tests/support/config_file.h"
#include "tests/support/input.h"
#include "tests/support/keyboard_focus.h"
#include "tests/support/layout_expectations.h"
#include "tests/support/row_presses.h"
#include "tests/support/zemo_app.h"

namespace {

LayoutSize ClientSize(HWND window) {
    RECT client = {};
    GetClientRect(window, &client);
    return {client.right, client.bottom};
}

// The client area the frame that could not be resized gave at its outer size, measured on
// a window of that frame made here.
LayoutSize FixedFrameClientSize() {
    using namespace MainWindowLayout;
    const HWND window =
        CreateWindowExW(kFrameExtendedStyle, L"STATIC", L"", kFixedFrameStyle, 0, 0, kWindow.width,
                        kWindow.height, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
    const LayoutSize client = ClientSize(window);
    DestroyWindow(window);
    return client;
}

}  // namespace

TEST(Startup, MainWindowLaidOutWithTheRulesAndCommandLineFolderFromAFolderOutsideAnsiAnyCodePage) {
    TempDirectory root;
    const std::wstring home = root / L"프로그램";
    ASSERT_TRUE(CreateDirectoryW(home.c_str(), nullptr));
    const std::wstring program = home + L"\\zemo.exe";
    ASSERT_TRUE(CopyFileW(ProgramPath(L"zemo.exe").c_str(), program.c_str(), FALSE));
    WriteFileBytes(home + L"\\config.ini", RuleConfig({L"F5=复制文件|D:\\x"}));
    // Hangul and "ğ" are outside code page 936; spaces need the quotes.
    const std::wstring folder = root / L"사진 ğ 2026";
    ASSERT_TRUE(CreateDirectoryW(folder.c_str(), nullptr));
    for (const wchar_t* name : {L"春节-01.jpg", L"사진-02.jpg", L"ğ.mp4"})
        ASSERT_TRUE(WriteFileBytes(folder + L"\\" + name, "x"));

    TestProcess process(program, L"\"" + folder + L"\"", home);
    ASSERT_TRUE(process.Started());
    const HWND main = WaitForTopLevelWindow(process.Id(), L"WTWindow");
    ASSERT_TRUE(main) << "no main window appeared";
    // The title reads back as UTF-16 whatever the system's code page.
    EXPECT_EQ(kMainWindowTitle, WindowText(main));

    const int width = MainWindowDefaultOuter(kBaseDpi).width;
    const int height = MainWindowDefaultOuter(kBaseDpi).height;
    const int left = (GetSystemMetrics(SM_CXSCREEN) - width) / 2;
    const int top = (GetSystemMetrics(SM_CYSCREEN) - height) / 2;
    EXPECT_TRUE(WaitUntil([&] {
        const RECT r = ScreenRect(main);
        return r.left == left && r.top == top && r.right - r.left == width &&
               r.bottom - r.top == height;
    }));
    const LayoutSize client = FixedFrameClientSize();
    EXPECT_TRUE(WaitUntil([&] {
        const LayoutSize now = ClientSize(main);
        return now.width == client.width && now.height == client.height;
    }));
    EXPECT_TRUE(IsWindowVisible(main));
    const LONG style = GetWindowLongW(main, GWL_STYLE);
    EXPECT_EQ(style & (WS_SYSMENU | WS_MINIMIZEBOX | WS_MAXIMIZEBOX | WS_CLIPCHILDREN),
              WS_SYSMENU | WS_MINIMIZEBOX | WS_MAXIMIZEBOX | WS_CLIPCHILDREN);
    EXPECT_EQ(style & WS_THICKFRAME, WS_THICKFRAME) << "the frame must be resizable";
    EXPECT_TRUE(GetWindowLongW(main, GWL_EXSTYLE) & WS_EX_CLIENTEDGE);

    // The rules come from the config.ini beside the program.
    HWND rules = nullptr, files = nullptr;
    ASSERT_TRUE(WaitUntil([&] {
        rules = FindChildById(main, kRuleListId);
        files = FindChildById(main, kFileListId);
        return rules && files;
    }));
    RemoteListView ruleList(rules), fileList(files);
    ASSERT_TRUE(WaitUntil([&] { return ruleList.ItemCount() == 1; }));
    EXPECT_EQ(L"F5", ruleList.Text(0, 0));
    // The folder is read, every name whole whatever code page could hold it.
    ASSERT_TRUE(
        WaitUntil([&] { return fileList.ItemCount() == 3 && !fileList.Text(2, 1).empty(); }));
    std::set<std::wstring> shown;
    for (int row = 0; row < 3; ++row)
        shown.insert(fileList.Text(row, 1));
    EXPECT_EQ((std::set<std::wstring>{L"春节-01.jpg", L"사진-02.jpg", L"ğ.mp4"}), shown);

    // The controls sit where the layout puts them.
    for (const ExpectedControl& control : MainWindowControls()) {
        HWND window = FindChildById(main, control.id);
        ASSERT_NE(nullptr, window) << control.id;
        EXPECT_EQ(control.box, BoxOf(RectInParent(window))) << control.id;
        if (control.id == kDirectoryEditId) {
            EXPECT_EQ(folder, WindowText(window));
        } else if (control.text) {
            EXPECT_EQ(control.text, WindowText(window)) << control.id;
        }
    }
    HWND player = nullptr;
    for (HWND child : ChildrenInOrder(main))
        if (WindowClass(child) == L"AtlAxWin")
            player = child;
    ASSERT_NE(nullptr, player);
    EXPECT_EQ(MainWindowLayout::kPreview, BoxOf(RectInParent(player)));

    // Tab does not move the focus: a key typed after it lands in the same field.
    const HWND edit = FindChildById(main, kDirectoryEditId);
    const size_t length = WindowText(edit).size();
    ASSERT_TRUE(ClickInto(main, edit));
    PressKeys({VK_TAB});
    PressKeys({'Z'});
    ASSERT_TRUE(WaitUntil([&] { return WindowText(edit).size() == length + 1; }));
    EXPECT_EQ(edit, FocusOf(main));

    // The frame is not dragged smaller than the default.
    SetWindowPos(main, nullptr, 0, 0, 500, 300, SWP_NOMOVE | SWP_NOZORDER);
    EXPECT_EQ(width, BoxOf(ScreenRect(main)).width);
    EXPECT_EQ(height, BoxOf(ScreenRect(main)).height);
}

// A drive root as the shell passes it ("E:\", whose backslash the C runtime's rules would
// take as escaping the quote) and a folder with a blank ending in a backslash: each opens
// its folder. (The root with its backslash doubled, as Wine's launcher writes it, is the
// folder path's unit case.)
TEST(Startup, ADriveRootOrAFolderEndingInABackslashOnTheCommandLineIsRead) {
    // A file of the test's own at the root, so the root's listing shows something known.
    const std::wstring rootFile = L"zemo root " + std::to_wstring(GetCurrentProcessId()) + L".txt";
    ASSERT_TRUE(WriteFileBytes(L"C:\\" + rootFile, "x"));
    TempDirectory temp;
    const std::wstring blank = temp / L"a b";
    ASSERT_TRUE(CreateDirectoryW(blank.c_str(), nullptr));
    ASSERT_TRUE(WriteFileBytes(blank + L"\\one.jpg", "x"));

    struct Case {
        std::wstring argument, folder, file;
    };
    for (const Case& c : {Case{L"\"C:\\\"", L"C:\\", rootFile},
                          Case{L"\"" + blank + L"\\\" \"D:\\\"", blank, L"one.jpg"}}) {
        ZemoApp app;
        ASSERT_TRUE(app.Start(c.argument)) << c.argument;
        EXPECT_TRUE(WaitUntil([&] { return FileRowOf(app, c.file) >= 0; }))
            << c.argument << " shows " << app.DirectoryText() << ", a box says "
            << WaitForMessageBox(app.Process().Id(), nullptr, 0).text;
        EXPECT_EQ(c.folder, app.DirectoryText()) << c.argument;
    }
    DeleteFileW((L"C:\\" + rootFile).c_str());
}
