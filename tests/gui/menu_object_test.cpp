// MenuObject against real Win32 menus: one menu per object, item queries, sub-menus and
// copies. The popup's modal loop is driven end to end through the rule list's menu.
#include <gtest/gtest.h>

#include "ui/menu_object.h"

namespace {

TextBlock Wide(const wchar_t* text) {
    return TextBlock::FromWide(text);
}

class MenuObjectTest : public ::testing::Test {
  protected:
    void TearDown() override { menu_.Destroy(); }

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

}  // namespace
