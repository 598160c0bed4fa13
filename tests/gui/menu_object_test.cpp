// MenuObject against real Win32 menus; the popup tests drive the menu's modal loop with
// real key presses sent from a second thread.
#include <atomic>
#include <initializer_list>
#include <thread>

#include "tests/gui/gui_controls_fixture.h"
#include "tests/support/desktop.h"
#include "tests/support/input.h"
#include "tests/support/wait.h"
#include "ui/menu_object.h"

namespace {

TextBlock Wide(const wchar_t* text) {
    return TextBlock::FromWide(text);
}

class MenuObjectTest : public ControlsTest {
  protected:
    void TearDown() override {
        menu_.Destroy();
        ControlsTest::TearDown();
    }

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
        std::atomic<bool> tracking{true};
        std::atomic<bool> menuSeen{false};
        std::thread driver([&] {
            const HWND popup = WaitForTopLevelWindow(GetCurrentProcessId(), L"#32768");
            menuSeen = popup != nullptr;
            for (const WORD key : keys)
                if (menuSeen)
                    PressKeys({key});
            // A menu that ignored the keys is closed, so the test fails instead of hanging.
            if (!WaitUntil([&] { return !tracking; }) && popup)
                PostMessageW(popup, WM_KEYDOWN, VK_ESCAPE, 0);
        });
        const int32_t result = menu_.TrackPopup(120, 120, Parent(), TPM_RETURNCMD);
        tracking = false;
        driver.join();
        EXPECT_TRUE(menuSeen) << "the popup menu never appeared";
        return result;
    }

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
