// MenuObject against real Win32 menus; the popup tests drive the menu's modal loop with
// real key presses sent from a second thread.
#include <gtest/gtest.h>

#include <windows.h>

#include <atomic>
#include <initializer_list>
#include <thread>

#include "tests/support/wait.h"
#include "tests/support/input.h"
#include "ui/menu_object.h"

namespace {

TextBlock Wide(const wchar_t* text) {
    return TextBlock::FromWide(text);
}

struct PopupSearch {
    DWORD threadId;
    HWND found;
};

BOOL CALLBACK MatchPopupMenu(HWND window, LPARAM data) {
    auto* search = reinterpret_cast<PopupSearch*>(data);
    wchar_t className[16] = {};
    GetClassNameW(window, className, 16);
    if (lstrcmpW(className, L"#32768") != 0 || !IsWindowVisible(window) ||
        GetWindowThreadProcessId(window, nullptr) != search->threadId)
        return TRUE;
    search->found = window;
    return FALSE;
}

// The visible popup menu window ("#32768") of the given thread, or null.
HWND FindPopupMenuOf(DWORD threadId) {
    PopupSearch search = {threadId, nullptr};
    EnumWindows(MatchPopupMenu, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

class MenuObjectTest : public ::testing::Test {
  protected:
    // One owner for the whole suite: hiding a top-level window costs Wine a long wait
    // for the window manager when there is none.
    static void SetUpTestSuite() {
        owner_ = CreateWindowExW(0, L"STATIC", L"menu owner", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 50,
                                 50, 300, 200, nullptr, nullptr, nullptr, nullptr);
    }
    static void TearDownTestSuite() { DestroyWindow(owner_); }
    void SetUp() override { ASSERT_NE(nullptr, owner_); }
    void TearDown() override { menu_.Destroy(); }

    // Shows the menu and, from a second thread, waits for it and presses the keys.
    // Returns TrackPopup's result.
    int32_t TrackWithKeys(std::initializer_list<WORD> keys) {
        // A pointer left over the menu by an earlier test would highlight an item and
        // shift the keyboard navigation.
        const POINT away = {GetSystemMetrics(SM_CXSCREEN) - 1, GetSystemMetrics(SM_CYSCREEN) - 1};
        MoveMouseTo(away);
        EXPECT_TRUE(WaitUntil([&] {
            POINT now;
            return GetCursorPos(&now) && now.x == away.x && now.y == away.y;
        }));
        const DWORD uiThread = GetCurrentThreadId();
        std::atomic<bool> tracking{true};
        std::atomic<bool> menuSeen{false};
        std::thread driver([&] {
            HWND popup = nullptr;
            menuSeen = WaitUntil([&] { return (popup = FindPopupMenuOf(uiThread)) != nullptr; });
            for (const WORD key : keys)
                if (menuSeen)
                    PressKeys({key});
            // A menu that ignored the keys is closed, so the test fails instead of hanging.
            if (!WaitUntil([&] { return !tracking; }) && popup)
                PostMessageW(popup, WM_KEYDOWN, VK_ESCAPE, 0);
        });
        const int32_t result = menu_.TrackPopup(120, 120, owner_, TPM_RETURNCMD);
        tracking = false;
        driver.join();
        EXPECT_TRUE(menuSeen) << "the popup menu never appeared";
        return result;
    }

    static inline HWND owner_ = nullptr;
    MenuObject menu_;
};

TEST_F(MenuObjectTest, ASecondMenuIsRefusedUntilDestroyEmptiesTheObjectAnyCodePage) {
    ASSERT_EQ(1, menu_.CreatePopup());
    HMENU first = menu_.GetHandle();
    ASSERT_EQ(1, menu_.AppendItem(Wide(L"删除配置项"), 1));
    ASSERT_EQ(1, menu_.SetBackColour(RGB(10, 20, 30)));

    EXPECT_EQ(0, menu_.CreatePopup());
    EXPECT_EQ(0, menu_.CreateBar());
    EXPECT_EQ(0, menu_.Attach(CreatePopupMenu()));
    EXPECT_EQ(first, menu_.GetHandle());
    EXPECT_EQ(1, menu_.GetItemCount());
    EXPECT_EQ(std::wstring(L"删除配置项"), std::wstring(menu_.GetItemText(0).WideView()));
    EXPECT_EQ(std::wstring(L"删除配置项"), std::wstring(menu_.GetItemText(1, false).WideView()));

    EXPECT_EQ(1, menu_.Destroy());
    EXPECT_EQ(nullptr, menu_.GetHandle());
    EXPECT_EQ(0, menu_.AppendItem(Wide(L"x"), 1));  // no menu: the system call fails
    EXPECT_EQ(1, menu_.CreatePopup());
}

TEST_F(MenuObjectTest, ItemQueriesByPositionAndCommand) {
    ASSERT_EQ(1, menu_.CreatePopup());
    menu_.AppendItem(Wide(L"first"), 10);
    menu_.AppendSeparator();
    menu_.InsertItem(0, Wide(L"zeroth"), 5);
    ASSERT_EQ(3, menu_.GetItemCount());
    EXPECT_EQ(5, menu_.GetItemID(0));
    EXPECT_EQ(10, menu_.GetItemID(1));
    menu_.CheckItem(10, true, false);
    EXPECT_EQ(1, menu_.IsChecked(1));
    // A missing item reports all bits set; it is not "checked".
    EXPECT_EQ(-1, menu_.GetState(99));
    EXPECT_EQ(0, menu_.IsChecked(99));
    EXPECT_EQ(0, menu_.GetItemText(42).WideLength());
    EXPECT_EQ(1, menu_.SetItemData(0, 0x1234));
    EXPECT_EQ(0x1234u, menu_.GetItemData(5, false));
}

TEST_F(MenuObjectTest, SubMenusAndCopiesShareHandles) {
    ASSERT_EQ(1, menu_.CreateBar());
    MenuObject sub;
    ASSERT_EQ(1, sub.CreatePopup());
    sub.AppendItem(Wide(L"inner"), 7);
    ASSERT_EQ(1, menu_.AppendSubMenu(sub, Wide(L"&File")));

    MenuObject& found = menu_.GetSubMenu(0);
    EXPECT_EQ(sub.GetHandle(), found.GetHandle());
    EXPECT_EQ(-1, menu_.GetItemID(0));  // a submenu has no command

    auto copy = menu_.Clone();
    EXPECT_EQ(menu_.GetHandle(), copy->GetHandle());
    copy.reset();  // destroying a copy leaves the menu alone
    EXPECT_EQ(1, menu_.GetItemCount());
}

TEST_F(MenuObjectTest, TrackPopupReturnsZeroAfterEscapeAndTheItemChosenByKeyboard) {
    ASSERT_EQ(1, menu_.CreatePopup());
    menu_.AppendItem(Wide(L"one"), 41);
    menu_.AppendItem(Wide(L"two"), 42);
    EXPECT_EQ(0, TrackWithKeys({VK_ESCAPE}));
    EXPECT_EQ(42, TrackWithKeys({VK_DOWN, VK_DOWN, VK_RETURN}));
}

}  // namespace
