// The list view in virtual mode: cells, search, selection and its events, all answered
// from the application's rows.
#include <string>
#include <vector>

#include "tests/gui/gui_controls_fixture.h"
#include "ui/virtual_list_view.h"

namespace {

constexpr int32_t kRows = 120;
std::vector<int32_t> selectedRows;

int32_t RecordSelected(int32_t row) {
    selectedRows.push_back(row);
    return 0;
}

std::wstring Index(int32_t row) {
    return (row < 9 ? L"0" : L"") + std::to_wstring(row + 1);
}

void Cell(int32_t row, int32_t column, wchar_t* buffer, int32_t capacity) {
    const std::wstring text = column == 0 ? Index(row) : L"name " + std::to_wstring(row);
    lstrcpynW(buffer, text.c_str(), capacity);
}

int32_t Find(const wchar_t* text, bool partial, int32_t start, bool wrap) {
    const std::wstring wanted(text);
    for (int32_t pass = 0; pass < (wrap ? 2 : 1); ++pass)
        for (int32_t row = pass == 0 ? std::max(start, 0) : 0; row < kRows; ++row) {
            const std::wstring index = Index(row);
            if (partial ? index.rfind(wanted, 0) == 0 : index == wanted)
                return row;
        }
    return -1;
}

class VirtualListViewTest : public ControlsTest {
  protected:
    void SetUp() override {
        ControlsTest::SetUp();
        selectedRows.clear();
        list_.SetItemSelectedHandler(RecordSelected);
        list_.SetCellTextSource(Cell);
        list_.SetRowFinder(Find);
        ASSERT_EQ(1, list_.Create(Parent(), LVS_REPORT | LVS_SHOWSELALWAYS, 10, 10, 400, 300));
        list_.AddExtendedStyle(LVS_EX_GRIDLINES | LVS_EX_FULLROWSELECT);
        list_.InsertColumn(0, TextBlock::FromWide(L"索引"), 80);
        list_.InsertColumn(1, TextBlock::FromWide(L"文件名"), 200);
        ASSERT_EQ(1, list_.SetRowCount(kRows, false));
    }

    void ClickRow(int32_t row, WORD modifier = 0) {
        list_.EnsureVisible(row);
        const RECT bounds = list_.GetItemRect(row);
        if (modifier)
            KeyDown(modifier);
        Click(list_.Handle(),
              POINT{(bounds.left + bounds.right) / 2, (bounds.top + bounds.bottom) / 2});
        if (modifier)
            KeyUp(modifier);
    }

    VirtualListViewControl list_;
};

}  // namespace

// Cells from the source are read end to end, in the program's file list.
TEST_F(VirtualListViewTest, SearchesAreAnsweredFromTheFinderAndAppendedRowsKeepTheSelection) {
    EXPECT_EQ(11, list_.FindItemByText(TextBlock::FromWide(L"12")));
    EXPECT_EQ(-1, list_.FindItemByText(TextBlock::FromWide(L"121")));

    // Rows appended while the user looks keep the selection where it was.
    list_.SelectItem(3);
    ASSERT_EQ(1, list_.SetRowCount(kRows + 0, true));
    EXPECT_EQ(std::vector<int32_t>{3}, list_.GetSelectedItems());
}

TEST_F(VirtualListViewTest, TypingADigitSelectsTheNextRowWhoseIndexBeginsWithIt) {
    ClickRow(0);
    ASSERT_TRUE(WaitUntil([&] { return list_.IsItemSelected(0) == 1; }));
    PressKeys({'1'});
    ASSERT_TRUE(WaitUntil([&] { return list_.IsItemSelected(9) == 1; }));  // "10"
    EXPECT_EQ(std::vector<int32_t>{9}, list_.GetSelectedItems());
}

TEST_F(VirtualListViewTest, ARangeOrAllRowsSelectedInOneStepRaiseOneEventForTheFocusedRow) {
    ClickRow(2);
    ASSERT_TRUE(WaitUntil([&] { return !selectedRows.empty() && selectedRows.back() == 2; }));
    selectedRows.clear();
    ClickRow(6, VK_SHIFT);
    ASSERT_TRUE(WaitUntil([&] { return list_.GetSelectedCount() == 5; }));
    PumpMessages();
    ASSERT_FALSE(selectedRows.empty());
    EXPECT_EQ(6, selectedRows.back());
    for (int32_t row : selectedRows)
        EXPECT_TRUE(row >= 2 && row <= 6) << row;

    selectedRows.clear();
    list_.SelectItem(-1);  // every row at once
    EXPECT_EQ(kRows, list_.GetSelectedCount());
    for (int32_t row : selectedRows)
        EXPECT_GE(row, 0);
}
