// The list view control on a real parent window: rows, texts, and the events raised by
// real mouse input.
#include <windows.h>
#include <commctrl.h>

#include <string>
#include <utility>
#include <vector>

#include "tests/gui/gui_controls_fixture.h"
#include "ui/list_view_control.h"

namespace {

class ListViewTest : public ControlsTest {
  protected:
    void SetUp() override {
        ControlsTest::SetUp();
        list_.SetItemSelectedHandler(
            [this](int32_t row, intptr_t data) { return selected_.emplace_back(row, data), 0; });
    }

    // A report list of 400 x 300 pixels at (10, 10) with two columns.
    void CreateReport() {
        ASSERT_EQ(1, list_.Create(Parent(), LVS_REPORT | LVS_SHOWSELALWAYS, 10, 10, 400, 300));
        ASSERT_EQ(0, list_.InsertColumn(0, TextBlock::FromWide(L"索引"), 80));
        ASSERT_EQ(1, list_.InsertColumn(1, TextBlock::FromWide(L"文件名"), 200));
    }

    int32_t CountSelected(int32_t row, intptr_t data) const {
        int32_t count = 0;
        for (const auto& event : selected_)
            count += event == std::make_pair(row, data);
        return count;
    }

    POINT RowCentre(int32_t row) const {
        const RECT bounds = list_.GetItemRect(row);
        return POINT{(bounds.left + bounds.right) / 2, (bounds.top + bounds.bottom) / 2};
    }

    ListViewControl list_;
    std::vector<std::pair<int32_t, intptr_t>> selected_;
};

TEST_F(ListViewTest, AnyCodePageRowsKeepTheirTextsCutTo259UnitsAndMoveDownForARowInserted) {
    CreateReport();
    const HWND first = list_.Handle();
    EXPECT_EQ(1, list_.Create(Parent(), LVS_REPORT, 0, 0));
    EXPECT_EQ(first, list_.Handle()) << "a second Create makes nothing new";

    for (int32_t expected = 0; expected < 3; ++expected)
        ASSERT_EQ(expected, list_.InsertItem());
    EXPECT_EQ(-1, list_.GetCheckState(0));
    EXPECT_EQ(1, list_.SetItemText(1, 1, TextBlock::FromWide(L"复制成功.mp4")));
    EXPECT_EQ(L"复制成功.mp4", list_.GetItemText(1, 1).WideView());

    EXPECT_EQ(1,
              list_.InsertItem(1, TextBlock::FromWide(L"新"), std::nullopt, std::nullopt, 0, 77));
    EXPECT_EQ(L"新", list_.GetItemText(1).WideView());
    EXPECT_EQ(77, list_.GetItemData(1));
    EXPECT_EQ(L"复制成功.mp4", list_.GetItemText(2, 1).WideView());
    EXPECT_NE(0, list_.DeleteItem(1));
    EXPECT_EQ(L"复制成功.mp4", list_.GetItemText(1, 1).WideView());

    // Reads are cut to 259 units; cells that do not exist read empty.
    const std::wstring longText(300, L'字');
    ASSERT_EQ(1, list_.SetItemText(0, 1, TextBlock::FromWide(longText)));
    const TextBlock cut = list_.GetItemText(0, 1);
    EXPECT_EQ(longText.substr(0, 259), cut.WideView());
    EXPECT_EQ(260 * static_cast<int32_t>(sizeof(wchar_t)), cut.ByteCount());
    for (const TextBlock& missing : {list_.GetItemText(5, 0), list_.GetItemText(0, 9)}) {
        EXPECT_EQ(L"", missing.WideView());
        EXPECT_EQ(static_cast<int32_t>(sizeof(wchar_t)), missing.ByteCount());
    }
    EXPECT_NE(0, list_.DeleteAllItems());
    EXPECT_EQ(0, list_.GetItemCount());
}

TEST_F(ListViewTest, ALeftClickSelectsTheRowAndEveryChangeOfItReportsIt) {
    CreateReport();
    for (int32_t row = 0; row < 3; ++row)
        ASSERT_EQ(row, list_.InsertItem(std::nullopt, TextBlock::FromWide(L"行"), std::nullopt,
                                        std::nullopt, 0, 1000 + row));
    list_.AddExtendedStyle(LVS_EX_GRIDLINES | LVS_EX_FULLROWSELECT);  // as the file list has

    // The centre of the row lies in its second column, which selects only with full-row select.
    Click(list_.Handle(), RowCentre(1));
    ASSERT_TRUE(WaitUntil([&] { return CountSelected(1, 1001) > 0; }));
    EXPECT_EQ(1, list_.GetSelectionMark());
    EXPECT_EQ(std::vector<int32_t>{1}, list_.GetSelectedItems());

    // The row stays selected and only loses the focus: the handler hears of it again.
    const int32_t before = CountSelected(1, 1001);
    LVITEMW focusOnly{};
    focusOnly.stateMask = LVIS_FOCUSED;
    list_.Send(LVM_SETITEMSTATE, 1, reinterpret_cast<LPARAM>(&focusOnly));
    EXPECT_EQ(before + 1, CountSelected(1, 1001));
    EXPECT_EQ(selected_.size(), static_cast<size_t>(CountSelected(1, 1001)));
}

TEST_F(ListViewTest, CheckBoxChangesReportTheNewStateAndUncheckedRowsAreNotChecked) {
    std::vector<std::pair<int32_t, int32_t>> checks;
    list_.SetCheckChangedHandler(
        [&](int32_t row, int32_t state) { return checks.emplace_back(row, state), 0; });
    CreateReport();
    ASSERT_EQ(0, list_.InsertItem());  // no state image: no check box
    list_.AddExtendedStyle(LVS_EX_CHECKBOXES);
    ASSERT_EQ(1, list_.InsertItem(std::nullopt, TextBlock(), std::nullopt, 0));
    ASSERT_EQ(2, list_.InsertItem(std::nullopt, TextBlock(), std::nullopt, 0));
    list_.SetCheckState(0, -1);
    checks.clear();

    ASSERT_EQ(1, list_.SetCheckState(2, 1));
    EXPECT_EQ(1, list_.GetCheckState(2));
    EXPECT_EQ(0, list_.GetCheckState(1));
    EXPECT_EQ(-1, list_.GetCheckState(0));
    ASSERT_FALSE(checks.empty());
    EXPECT_EQ(std::make_pair(2, 1), checks.back());
    EXPECT_EQ(std::vector<int32_t>{2}, list_.GetCheckedItems());
}

TEST_F(ListViewTest, DestroyingTheWindowForgetsTheHandlersAndAllowsANewWindow) {
    CreateReport();
    ASSERT_EQ(0, list_.InsertItem(std::nullopt, TextBlock(), std::nullopt, std::nullopt, 0, 5));
    list_.SelectItem(0);
    EXPECT_EQ(1, CountSelected(0, 5));

    DestroyWindow(list_.Handle());
    EXPECT_EQ(0, list_.GetItemCount());

    selected_.clear();
    CreateReport();
    ASSERT_EQ(0, list_.InsertItem(std::nullopt, TextBlock(), std::nullopt, std::nullopt, 0, 5));
    list_.SelectItem(0);
    EXPECT_EQ(1, list_.IsItemSelected(0));
    EXPECT_TRUE(selected_.empty());
}

}  // namespace
