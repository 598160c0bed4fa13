// The top-level Window: Show and its create and close events, the modal loop, window
// state, hotkeys and the notification icon.
#include "ui/window.h"

#include <gtest/gtest.h>

#include "tests/support/wait.h"
#include "ui/library.h"

namespace {

RECT OuterRectangle(HWND hwnd) {
    RECT rectangle{};
    GetWindowRect(hwnd, &rectangle);
    return rectangle;
}

class WindowTest : public ::testing::Test {
  protected:
    void SetUp() override { InitialiseLibrary(); }
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

TEST_F(WindowTest, CreateRunsBeforeTheWindowShowsAtItsDefaultSizeOnceAndHidingHidesIt) {
    HWND created = nullptr;
    bool visibleInCreate = true;
    SIZE seen{-1, -1};
    const auto onCreate = [&](HWND handle) {
        created = handle;
        visibleInCreate = IsWindowVisible(handle) != FALSE;
        window.SetSizeHandler([&](int32_t width, int32_t height) {
            seen = {width, height};
            return 0;
        });
        return 0;
    };
    const HWND hwnd = window.Show({.onCreate = onCreate});
    ASSERT_TRUE(hwnd);
    const RECT outer = OuterRectangle(hwnd);
    EXPECT_EQ(380, outer.right - outer.left);
    EXPECT_EQ(250, outer.bottom - outer.top);
    EXPECT_EQ(hwnd, created);
    EXPECT_FALSE(visibleInCreate);
    RECT client{};
    GetClientRect(hwnd, &client);
    EXPECT_EQ(client.right, seen.cx);
    EXPECT_EQ(client.bottom, seen.cy);
    EXPECT_TRUE(IsWindowVisible(hwnd));
    EXPECT_EQ(WindowState::kNormal, window.State());
    EXPECT_EQ(nullptr, window.Show()) << "a second Show on the same object creates nothing";
    window.SetState(WindowState::kHidden);
    EXPECT_TRUE(WaitUntil([&] { return !IsWindowVisible(hwnd); }));
}

TEST_F(WindowTest, CloseCanKeepTheWindowAndTheObjectIsReusedWithoutItsHandlers) {
    const HWND hwnd = ShowHidden(window);
    ASSERT_TRUE(hwnd);
    int closes = 0, destroys = 0, keep = 1;
    window.SetCloseHandler([&] { return ++closes, keep; });
    window.SetDestroyHandler([&] { return ++destroys, 0; });
    window.Close();
    EXPECT_EQ(1, closes);
    EXPECT_TRUE(IsWindow(hwnd));

    keep = 0;
    window.Close();
    EXPECT_EQ(2, closes);
    EXPECT_FALSE(IsWindow(hwnd));
    EXPECT_EQ(1, destroys);

    // The object is reusable and holds no handler of its last window.
    ASSERT_TRUE(ShowHidden(window));
    window.Close();
    EXPECT_EQ(2, closes);
    EXPECT_EQ(1, destroys);
}

TEST_F(WindowTest, ModalLoopDisablesItsOwnerUntilTheWindowIsGoneAndAQuitEndsOnlyTheLoop) {
    const HWND owner = ShowHidden(parent);
    ASSERT_TRUE(owner);
    bool ownerEnabledDuringLoop = true;
    const HWND closed = ShowHidden(
        window, owner,
        [&](HWND hwnd) {
            window.SetCloseHandler([&] {
                ownerEnabledDuringLoop = IsWindowEnabled(owner) != FALSE;
                return 0;
            });
            PostMessageW(hwnd, WM_CLOSE, 0, 0);
            return 0;
        },
        true);
    // Show returns only after the dialog was destroyed by its own close.
    EXPECT_TRUE(closed);
    EXPECT_FALSE(IsWindow(closed));
    EXPECT_FALSE(ownerEnabledDuringLoop);
    EXPECT_TRUE(IsWindowEnabled(owner));

    const HWND quit = ShowHidden(
        window, owner, [](HWND) { return PostQuitMessage(3), 0; }, true);
    EXPECT_TRUE(IsWindow(quit));
    EXPECT_EQ(owner, GetWindow(quit, GW_OWNER));
    EXPECT_TRUE(IsWindowEnabled(owner));
    MSG message;
    EXPECT_FALSE(PeekMessageW(&message, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
}

TEST_F(WindowTest, HotkeyIdsCountOnlySuccessfulRegistrationsAndTheIconNeedsAnIconFirst) {
    ASSERT_TRUE(ShowHidden(window));
    EXPECT_EQ(1, window.RegisterHotkey(MOD_CONTROL | MOD_ALT, VK_F9));
    EXPECT_EQ(0, window.RegisterHotkey(MOD_CONTROL | MOD_ALT, VK_F9));  // already taken
    EXPECT_EQ(2, window.RegisterHotkey(MOD_CONTROL | MOD_ALT, VK_F10));
    EXPECT_EQ(1, window.UnregisterHotkey(1));
    EXPECT_EQ(1, window.UnregisterHotkey(2));

    const TextBlock tip = TextBlock::FromWide(L"tip");
    EXPECT_EQ(0, window.SetNotificationTip(tip));
    EXPECT_EQ(0, window.SetNotificationIcon(UniqueIcon()));
    EXPECT_EQ(0, window.ShowBalloon(tip));
    EXPECT_EQ(0, window.RemoveNotificationIcon());
}

TEST_F(WindowTest, AnOwnedWindowTakesTheOwnersIconsAndOneOffTheTaskbarAHiddenOwner) {
    const HWND owner = ShowHidden(parent);
    ASSERT_TRUE(owner);
    const HICON icon = LoadIconW(nullptr, IDI_INFORMATION);
    parent.SetIcon(icon, ICON_SMALL);
    parent.SetIcon(icon, ICON_BIG);
    ASSERT_TRUE(ShowHidden(window, owner));
    EXPECT_EQ(icon, window.Icon(ICON_SMALL));
    EXPECT_EQ(icon, window.Icon(ICON_BIG));
    DestroyWindow(window.Handle());

    const HWND hwnd = window.Show({.visible = false, .showInTaskbar = false});
    ASSERT_TRUE(hwnd);
    const HWND hidden = GetWindow(hwnd, GW_OWNER);
    ASSERT_TRUE(hidden);
    EXPECT_FALSE(IsWindowVisible(hidden));
    DestroyWindow(hwnd);
    EXPECT_TRUE(WaitUntil([&] { return !IsWindow(hidden); }));
}

}  // namespace
