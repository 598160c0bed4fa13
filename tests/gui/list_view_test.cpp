// The list view control on a real parent window: rows, columns, texts, styles, and the
// events raised by real mouse input.
#include <windows.h>
#include <commctrl.h>

#include <string>
#include <utility>
#include <vector>

#include "tests/gui/gui_controls_fixture.h"
#include "ui/list_view_control.h"

namespace {

std::vector<std::pair<int32_t, intptr_t>> selectedEvents;
std::vector<int32_t> rightClickRows;
std::vector<std::pair<int32_t, int32_t>> checkEvents;

int32_t RecordSelected(int32_t row, intptr_t data) {
    selectedEvents.emplace_back(row, data);
    return 0;
}
int32_t RecordRightClick(int32_t row) {
    rightClickRows.push_back(row);
    return 0;
}
int32_t RecordCheck(int32_t row, int32_t state) {
    checkEvents.emplace_back(row, state);
    return 0;
}

class ListViewTest : public ControlsTest {
  protected:
    void SetUp() override {
        ControlsTest::SetUp();
        selectedEvents.clear();
        rightClickRows.clear();
        checkEvents.clear();
    }

    // A report list of 400 x 300 pixels at (10, 10) with two columns.
    void CreateReport() {
        ASSERT_EQ(1, list_.Create(Parent(), LVS_REPORT | LVS_SHOWSELALWAYS, 10, 10, 400, 300));
        ASSERT_EQ(0, list_.InsertColumn(0, TextBlock::FromWide(L"索引"), 80));
        ASSERT_EQ(1, list_.InsertColumn(1, TextBlock::FromWide(L"文件名"), 200));
    }

    int32_t CountSelected(int32_t row, intptr_t data) const {
        int32_t count = 0;
        for (const auto& event : selectedEvents)
            count += event == std::make_pair(row, data);
        return count;
    }

    POINT RowCentre(int32_t row) const {
        const RECT bounds = list_.GetItemRect(row);
        return POINT{(bounds.left + bounds.right) / 2, (bounds.top + bounds.bottom) / 2};
    }

    ListViewControl list_;
};

TEST_F(ListViewTest, CreatesAReportListWithTheNextIdentifierAndItsExtendedStyle) {
    ControlIdCounter = 600;
    CreateReport();
    EXPECT_EQ(601, list_.ControlId());
    EXPECT_EQ(601, ControlIdCounter);
    EXPECT_EQ(Parent(), GetParent(list_.Handle()));
    EXPECT_EQ(WS_CHILD | WS_VISIBLE, static_cast<DWORD>(list_.Style()) & (WS_CHILD | WS_VISIBLE));
    EXPECT_TRUE(list_.ExtendedWindowStyle() & WS_EX_CLIENTEDGE);
    EXPECT_EQ(3, list_.GetView());

    EXPECT_EQ(0x402u, list_.GetExtendedStyle());
    EXPECT_EQ(0x402u, list_.AddExtendedStyle(0x21));
    EXPECT_EQ(0x423u, list_.GetExtendedStyle());
    EXPECT_EQ(0x423u, list_.RemoveExtendedStyle(0x400));
    EXPECT_EQ(0x023u, list_.GetExtendedStyle());

    // A second Create on the same object makes nothing new.
    const HWND first = list_.Handle();
    EXPECT_EQ(1, list_.Create(Parent(), LVS_REPORT, 0, 0));
    EXPECT_EQ(first, list_.Handle());
    EXPECT_EQ(0x023u, list_.GetExtendedStyle());
}

TEST_F(ListViewTest, AnyCodePageRowsAndColumnsTakeTheirDefaults) {
    CreateReport();
    EXPECT_EQ(2, list_.InsertColumn());
    EXPECT_EQ(50, list_.GetColumnWidth(2));
    EXPECT_EQ(3, list_.InsertColumn(std::nullopt, TextBlock::FromWide(L"操作类型")));
    EXPECT_EQ(L"操作类型", list_.GetColumnText(3).WideView());
    EXPECT_EQ(4, list_.GetColumnCount());

    EXPECT_EQ(-1, list_.GetSelectionMark());
    for (int32_t expected = 0; expected < 3; ++expected) {
        ASSERT_EQ(expected, list_.InsertItem());
        EXPECT_EQ(L"", list_.GetItemText(expected).WideView());
        EXPECT_EQ(-1, list_.GetItemImage(expected));
        EXPECT_EQ(0, list_.GetItemData(expected));
        EXPECT_EQ(-1, list_.GetCheckState(expected));
    }
    EXPECT_EQ(3, list_.GetItemCount());

    // Texts reach the control as UTF-16 and come back unchanged.
    EXPECT_EQ(1, list_.SetItemText(1, 1, TextBlock::FromWide(L"复制成功.mp4")));
    const TextBlock cell = list_.GetItemText(1, 1);
    EXPECT_EQ(L"复制成功.mp4", cell.WideView());
    EXPECT_EQ(static_cast<int32_t>((8 + 1) * sizeof(wchar_t)), cell.ByteCount());

    // A row inserted in the middle moves the later rows down.
    EXPECT_EQ(1,
              list_.InsertItem(1, TextBlock::FromWide(L"新"), std::nullopt, std::nullopt, 0, 77));
    EXPECT_EQ(L"新", list_.GetItemText(1).WideView());
    EXPECT_EQ(77, list_.GetItemData(1));
    EXPECT_EQ(L"复制成功.mp4", list_.GetItemText(2, 1).WideView());

    EXPECT_NE(0, list_.DeleteItem(1));
    EXPECT_EQ(L"复制成功.mp4", list_.GetItemText(1, 1).WideView());
    EXPECT_NE(0, list_.DeleteAllItems());
    EXPECT_EQ(0, list_.GetItemCount());
}

TEST_F(ListViewTest, ReadsAreCutTo259UnitsAndMissingCellsReadEmpty) {
    CreateReport();
    ASSERT_EQ(0, list_.InsertItem());
    const std::wstring longText(300, L'字');
    ASSERT_EQ(1, list_.SetItemText(0, 1, TextBlock::FromWide(longText)));
    const TextBlock cut = list_.GetItemText(0, 1);
    EXPECT_EQ(longText.substr(0, 259), cut.WideView());
    EXPECT_EQ(260 * static_cast<int32_t>(sizeof(wchar_t)), cut.ByteCount());

    for (const TextBlock& missing : {list_.GetItemText(5, 0), list_.GetItemText(0, 9)}) {
        EXPECT_EQ(L"", missing.WideView());
        EXPECT_EQ(static_cast<int32_t>(sizeof(wchar_t)), missing.ByteCount());
    }
}

TEST_F(ListViewTest, LeftClickSelectsTheRowAndEveryLaterChangeOfItReportsItAgain) {
    list_.SetItemSelectedHandler(RecordSelected);  // before Create, as the application does
    CreateReport();
    for (int32_t row = 0; row < 3; ++row)
        ASSERT_EQ(row, list_.InsertItem(std::nullopt, TextBlock::FromWide(L"行"), std::nullopt,
                                        std::nullopt, 0, 1000 + row));

    list_.AddExtendedStyle(LVS_EX_GRIDLINES | LVS_EX_FULLROWSELECT);  // as the file list has

    // The centre of the row lies in its second column, which selects only with full-row select.
    Click(list_.Handle(), RowCentre(1));
    ASSERT_TRUE(WaitUntil([&] { return CountSelected(1, 1001) > 0; }));
    EXPECT_EQ(1, list_.GetSelectionMark());
    EXPECT_EQ(1, list_.IsItemSelected(1));
    EXPECT_EQ(std::vector<int32_t>{1}, list_.GetSelectedItems());

    // The row stays selected and only loses the focus: the handler hears of it again.
    const int32_t before = CountSelected(1, 1001);
    LVITEMW focusOnly{};
    focusOnly.stateMask = LVIS_FOCUSED;
    list_.Send(LVM_SETITEMSTATE, 1, reinterpret_cast<LPARAM>(&focusOnly));
    EXPECT_EQ(before + 1, CountSelected(1, 1001));
    EXPECT_EQ(selectedEvents.size(), static_cast<size_t>(CountSelected(1, 1001)));
}

TEST_F(ListViewTest, RightClickReportsTheRowAndMinusOneBelowTheLastRow) {
    list_.SetRightClickHandler(RecordRightClick);
    CreateReport();
    ASSERT_EQ(0, list_.InsertItem());
    ASSERT_EQ(1, list_.InsertItem());

    Click(list_.Handle(), RowCentre(1), true);
    ASSERT_TRUE(WaitUntil([] { return !rightClickRows.empty(); }));
    EXPECT_EQ(1, rightClickRows.back());

    const RECT last = list_.GetItemRect(1);
    Click(list_.Handle(), POINT{(last.left + last.right) / 2, last.bottom + 60}, true);
    ASSERT_TRUE(WaitUntil([] { return rightClickRows.size() == 2; }));
    EXPECT_EQ(-1, rightClickRows.back());
}

TEST_F(ListViewTest, CheckBoxChangesReportTheNewStateAndUncheckedRowsAreNotChecked) {
    list_.SetCheckChangedHandler(RecordCheck);
    CreateReport();
    ASSERT_EQ(0, list_.InsertItem());  // no state image: no check box
    list_.AddExtendedStyle(LVS_EX_CHECKBOXES);
    ASSERT_EQ(1, list_.InsertItem(std::nullopt, TextBlock(), std::nullopt, 0));
    ASSERT_EQ(2, list_.InsertItem(std::nullopt, TextBlock(), std::nullopt, 0));
    list_.SetCheckState(0, -1);
    checkEvents.clear();

    ASSERT_EQ(1, list_.SetCheckState(2, 1));
    EXPECT_EQ(1, list_.GetCheckState(2));
    EXPECT_EQ(0, list_.GetCheckState(1));
    EXPECT_EQ(-1, list_.GetCheckState(0));
    ASSERT_FALSE(checkEvents.empty());
    EXPECT_EQ(std::make_pair(2, 1), checkEvents.back());
    EXPECT_EQ(std::vector<int32_t>{2}, list_.GetCheckedItems());
}

TEST_F(ListViewTest, DestroyingTheWindowForgetsTheHandlersAndAllowsANewWindow) {
    list_.SetItemSelectedHandler(RecordSelected);
    CreateReport();
    ASSERT_EQ(0, list_.InsertItem(std::nullopt, TextBlock(), std::nullopt, std::nullopt, 0, 5));
    list_.SelectItem(0);
    EXPECT_EQ(1, CountSelected(0, 5));

    DestroyWindow(list_.Handle());
    EXPECT_EQ(nullptr, list_.Handle());
    EXPECT_EQ(0, list_.GetItemCount());

    selectedEvents.clear();
    CreateReport();
    ASSERT_EQ(0, list_.InsertItem(std::nullopt, TextBlock(), std::nullopt, std::nullopt, 0, 5));
    list_.SelectItem(0);
    EXPECT_EQ(1, list_.IsItemSelected(0));
    EXPECT_TRUE(selectedEvents.empty());
}

}  // namespace
