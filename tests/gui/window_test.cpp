// The top-level Window: Show and its defaults, OnCreate and OnClose, the modal loop,
// window state, hotkeys and the notification icon.
#include "ui/window.h"

#include <gtest/gtest.h>

#include "tests/support/wait.h"
#include "ui/library.h"
#include "ui/window_registry.h"

namespace {

struct Seen {
    HWND created = nullptr;
    bool visibleInCreate = true;
    int32_t sizeWidth = -1;
    int32_t sizeHeight = -1;
    int closes = 0;
    int destroys = 0;
    bool parentEnabledDuringLoop = true;
    int32_t closeAnswer = 0;
};
Seen g_seen;
Window* g_window = nullptr;  // the window a handler registers on

int32_t RecordSize(int32_t width, int32_t height) {
    g_seen.sizeWidth = width;
    g_seen.sizeHeight = height;
    return 0;
}
int32_t RecordCreate(HWND hwnd) {
    g_seen.created = hwnd;
    g_seen.visibleInCreate = IsWindowVisible(hwnd) != FALSE;
    g_window->SetSizeHandler(&RecordSize);
    return 0;
}
int32_t AnswerClose() {
    ++g_seen.closes;
    return g_seen.closeAnswer;
}
int32_t CountDestroy() {
    return ++g_seen.destroys, 0;
}

HWND g_parent = nullptr;
int32_t RecordParentAndClose() {
    g_seen.parentEnabledDuringLoop = IsWindowEnabled(g_parent) != FALSE;
    return 0;
}
int32_t CloseLater(HWND hwnd) {
    g_window->SetCloseHandler(&RecordParentAndClose);
    PostMessageW(hwnd, WM_CLOSE, 0, 0);
    return 0;
}
int32_t QuitLater(HWND) {
    PostQuitMessage(3);
    return 0;
}

RECT OuterRectangle(HWND hwnd) {
    RECT rectangle{};
    GetWindowRect(hwnd, &rectangle);
    return rectangle;
}

class WindowTest : public ::testing::Test {
  protected:
    void SetUp() override {
        InitialiseLibrary();
        g_seen = Seen{};
        g_window = &window;
    }
    // Shows a window that stays hidden (quicker to create and destroy under Wine).
    static HWND ShowHidden(Window& target, HWND owner = nullptr, EventHandler onCreate = nullptr,
                           bool modal = false) {
        return target.Show(
            {.parent = owner, .onCreate = std::move(onCreate), .modal = modal, .visible = false});
    }
    void TearDown() override {
        for (HWND hwnd : {window.Handle(), parent.Handle()}) {
            if (IsWindow(hwnd))
                DestroyWindow(hwnd);
        }
        PumpMessages();
    }

    Window window;
    Window parent;
};

TEST_F(WindowTest, ShowWithoutSizeCreatesTheLibraryClassAt380By250) {
    const HWND hwnd = window.Show({.onCreate = &RecordCreate});
    ASSERT_TRUE(hwnd);
    EXPECT_EQ(window.ClassName().WideView(), L"WTWindow");
    const RECT outer = OuterRectangle(hwnd);
    EXPECT_EQ(outer.right - outer.left, 380);
    EXPECT_EQ(outer.bottom - outer.top, 250);
    EXPECT_EQ(GetWindowLongW(hwnd, GWL_STYLE) & (WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN),
              WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN);

    // OnCreate ran with the handle before the window was shown, and a size handler it
    // registered saw the initial client size.
    EXPECT_EQ(g_seen.created, hwnd);
    EXPECT_FALSE(g_seen.visibleInCreate);
    RECT client{};
    GetClientRect(hwnd, &client);
    EXPECT_EQ(g_seen.sizeWidth, client.right);
    EXPECT_EQ(g_seen.sizeHeight, client.bottom);
    EXPECT_TRUE(IsWindowVisible(hwnd));

    // A second Show on the same object creates nothing.
    EXPECT_EQ(window.Show(), nullptr);
}

TEST_F(WindowTest, OnCloseCanKeepTheWindowAndDestructionDetachesIt) {
    const HWND hwnd = ShowHidden(window);
    ASSERT_TRUE(hwnd);
    window.SetCloseHandler(&AnswerClose);
    window.SetDestroyHandler(&CountDestroy);
    g_seen.closeAnswer = 1;
    window.Close();
    EXPECT_EQ(g_seen.closes, 1);
    EXPECT_TRUE(IsWindow(hwnd));

    g_seen.closeAnswer = 0;
    window.Close();
    EXPECT_EQ(g_seen.closes, 2);
    EXPECT_FALSE(IsWindow(hwnd));
    EXPECT_EQ(g_seen.destroys, 1);
    EXPECT_EQ(window.Handle(), nullptr);
    EXPECT_EQ(WindowRegistry::Find(hwnd), nullptr);

    // The object is reusable and holds no handler of its last window.
    ASSERT_TRUE(ShowHidden(window));
    window.Close();
    EXPECT_EQ(g_seen.closes, 2);
    EXPECT_EQ(g_seen.destroys, 1);
}

TEST_F(WindowTest, ModalLoopDisablesItsParentUntilTheWindowIsGone) {
    g_parent = ShowHidden(parent);
    ASSERT_TRUE(g_parent);
    const HWND hwnd = ShowHidden(window, g_parent, &CloseLater, 1);
    // Show returns only after the dialog was destroyed by its own close.
    EXPECT_TRUE(hwnd);
    EXPECT_FALSE(IsWindow(hwnd));
    EXPECT_FALSE(g_seen.parentEnabledDuringLoop);
    EXPECT_TRUE(IsWindowEnabled(g_parent));
}

TEST_F(WindowTest, QuitDuringTheModalLoopEndsOnlyThatLoop) {
    g_parent = ShowHidden(parent);
    ASSERT_TRUE(g_parent);
    const HWND hwnd = ShowHidden(window, g_parent, &QuitLater, true);
    EXPECT_TRUE(IsWindow(hwnd));
    EXPECT_EQ(GetWindow(hwnd, GW_OWNER), g_parent);
    EXPECT_TRUE(IsWindowEnabled(g_parent));
    MSG message;
    EXPECT_FALSE(PeekMessageW(&message, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
}

TEST_F(WindowTest, WindowStateCentresShowsAndHides) {
    const HWND hwnd =
        window.Show({.x = 10, .y = 10, .width = 1070, .height = 640, .visible = false});
    ASSERT_TRUE(hwnd);
    EXPECT_FALSE(IsWindowVisible(hwnd));
    EXPECT_TRUE(window.SetState(WindowState::kCentred));
    const int x = (GetSystemMetrics(SM_CXSCREEN) - 1070) / 2;  // 425 on the 1920 x 1080 screen
    const int y = (GetSystemMetrics(SM_CYSCREEN) - 640) / 2;   // 220
    EXPECT_TRUE(WaitUntil([&] {
        const RECT r = OuterRectangle(hwnd);
        return r.left == x && r.top == y && r.right == x + 1070 && r.bottom == y + 640;
    }));
    EXPECT_TRUE(IsWindowVisible(hwnd));
    EXPECT_EQ(window.State(), WindowState::kNormal);

    window.SetState(WindowState::kHidden);
    EXPECT_TRUE(WaitUntil([&] { return !IsWindowVisible(hwnd); }));
}

TEST_F(WindowTest, HotkeyIdsCountOnlySuccessfulRegistrations) {
    ASSERT_TRUE(ShowHidden(window));
    EXPECT_EQ(window.RegisterHotkey(MOD_CONTROL | MOD_ALT, VK_F9), 1);
    EXPECT_EQ(window.RegisterHotkey(MOD_CONTROL | MOD_ALT, VK_F9), 0);  // already taken
    EXPECT_EQ(window.RegisterHotkey(MOD_CONTROL | MOD_ALT, VK_F10), 2);
    EXPECT_EQ(window.UnregisterHotkey(1), 1);
    EXPECT_EQ(window.UnregisterHotkey(2), 1);
}

TEST_F(WindowTest, NotificationOperationsNeedAnIconFirst) {
    ASSERT_TRUE(ShowHidden(window));
    const TextBlock tip = TextBlock::FromWide(L"tip");
    EXPECT_EQ(window.SetNotificationTip(tip), 0);
    EXPECT_EQ(window.SetNotificationIcon(UniqueIcon()), 0);
    EXPECT_EQ(window.ShowBalloon(tip), 0);
    EXPECT_EQ(window.RemoveNotificationIcon(), 0);
}

TEST_F(WindowTest, WindowWithoutTaskbarButtonGetsAHiddenOwnerThatGoesWithIt) {
    const HWND hwnd = window.Show({.visible = false, .showInTaskbar = false});
    ASSERT_TRUE(hwnd);
    const HWND owner = GetWindow(hwnd, GW_OWNER);
    ASSERT_TRUE(owner);
    wchar_t title[32] = {};
    GetWindowTextW(owner, title, 32);
    EXPECT_STREQ(title, L"ShowTaskbar");
    EXPECT_FALSE(IsWindowVisible(owner));
    DestroyWindow(hwnd);
    EXPECT_TRUE(WaitUntil([&] { return !IsWindow(owner); }));
}

TEST_F(WindowTest, OwnedWindowTakesTheOwnersIcons) {
    const HWND owner = ShowHidden(parent);
    ASSERT_TRUE(owner);
    const HICON icon = LoadIconW(nullptr, IDI_INFORMATION);
    parent.SetIcon(icon, ICON_SMALL);
    parent.SetIcon(icon, ICON_BIG);
    ASSERT_TRUE(ShowHidden(window, owner));
    EXPECT_EQ(window.Icon(ICON_SMALL), icon);
    EXPECT_EQ(window.Icon(ICON_BIG), icon);
}

TEST_F(WindowTest, MenuBarIsSetReadAndRemoved) {
    ASSERT_TRUE(ShowHidden(window));
    MenuObject bar;
    ASSERT_EQ(bar.CreateBar(), 1);
    bar.AppendItem(TextBlock::FromWide(L"File"), 1);
    EXPECT_EQ(window.SetMenuBar(&bar), 1);
    EXPECT_EQ(window.MenuBar().GetHandle(), bar.GetHandle());
    EXPECT_EQ(window.RedrawMenuBar(), 1);
    EXPECT_EQ(window.SetMenuBar(), 1);
    EXPECT_EQ(window.MenuBar().GetHandle(), nullptr);
    bar.Destroy();
}

TEST(WindowTitleTest, TitleReachesTheWindowAsUtf16AnyCodePage) {
    InitialiseLibrary();
    Window window;
    const TextBlock title = ToUtf16(Text("ZEMO文件分类整理 墨池社区"));
    const HWND hwnd = window.Show(
        {.title = &title, .x = 0, .y = 0, .width = 200, .height = 100, .visible = false});
    ASSERT_TRUE(hwnd);
    wchar_t text[64] = {};
    GetWindowTextW(hwnd, text, 64);
    EXPECT_STREQ(text, L"ZEMO文件分类整理 墨池社区");
    EXPECT_EQ(window.WindowText().WideView(), L"ZEMO文件分类整理 墨池社区");
    DestroyWindow(hwnd);
}

}  // namespace
