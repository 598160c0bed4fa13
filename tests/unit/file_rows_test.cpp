#include <gtest/gtest.h>

#include <string>

#include "app/files/file_list.h"
#include "app/files/file_rows.h"

namespace {

std::wstring Cell(const FileRows& rows, int32_t row, int32_t column, int32_t capacity = 260) {
    std::wstring buffer(static_cast<size_t>(capacity), L'#');
    rows.CellText(row, column, buffer.data(), capacity);
    return buffer.substr(0, buffer.find(L'\0'));
}

FileRows Numbered(int32_t count) {
    FileRows rows;
    rows.Reset(L"C:\\d");
    for (int32_t i = 0; i < count; ++i)
        rows.Append(L"f" + std::to_wstring(i));
    return rows;
}

}  // namespace

TEST(FileRows, PathsJoinTheDirectoryAndTheExactNameThatItsCellShows) {
    FileRows rows;
    for (const wchar_t* directory : {L"C:\\photos", L"C:\\photos\\"}) {
        rows.Reset(directory);
        const std::wstring name = L"e\U0001F600\ud55c.txt";
        ASSERT_EQ(0, rows.Append(name));
        ASSERT_EQ(1, rows.Append(L"b.mp4"));
        EXPECT_EQ(L"C:\\photos\\" + name, rows.Path(0));
        EXPECT_EQ(name, rows.Name(0));
        EXPECT_EQ(name, Cell(rows, 0, kFileNameColumn));
        EXPECT_EQ(L"C:\\photos\\b.mp4", rows.Path(1));
        EXPECT_EQ(L"", Cell(rows, 1, kFileOperationColumn));
        EXPECT_EQ(L"", Cell(rows, 1, kFileResultColumn));
    }
    rows.Reset(L"D:\\");
    EXPECT_EQ(0, rows.RowCount());
    rows.Append(L"x");
    EXPECT_EQ(L"D:\\x", rows.Path(0));
}

TEST(FileRows, IndexCellsCountFrom01) {
    FileRows rows = Numbered(100);
    EXPECT_EQ(L"01", Cell(rows, 0, kFileIndexColumn));
    EXPECT_EQ(L"09", Cell(rows, 8, kFileIndexColumn));
    EXPECT_EQ(L"10", Cell(rows, 9, kFileIndexColumn));
    EXPECT_EQ(L"100", Cell(rows, 99, kFileIndexColumn));
    EXPECT_EQ(L"", Cell(rows, 100, kFileIndexColumn));     // no such row
    EXPECT_EQ(L"1", Cell(rows, 99, kFileIndexColumn, 2));  // cut to the buffer
}

// The finished results' texts are checked where the program shows and journals them.
TEST(FileRows, OperationAndProgressCells) {
    FileRows rows = Numbered(2);
    rows.SetOperation(0, RowOperation::kCopy);
    rows.SetOperation(1, RowOperation::kMove);
    rows.SetResult(0, RowResult::kInProgress, 37);
    rows.SetResult(1, RowResult::kInProgress, 5);
    EXPECT_EQ(L"复制文件", Cell(rows, 0, kFileOperationColumn));
    EXPECT_EQ(L"移动文件", Cell(rows, 1, kFileOperationColumn));
    EXPECT_EQ(L"复制中 37%", Cell(rows, 0, kFileResultColumn));
    EXPECT_EQ(L"移动中 5%", Cell(rows, 1, kFileResultColumn));
    rows.SetResult(1, RowResult::kInProgress, 250);
    EXPECT_EQ(100, rows.Percent(1));
}

// A new listing keeps nothing of the rows of the one before.
TEST(FileRows, ANewListingForgetsFailureReasonsAndUndoRecords) {
    FileRows rows = Numbered(1);
    rows.SetFailureReason(0, L"拒绝访问。");
    rows.SetUndoRecord(0, 7);
    rows.Reset(L"C:\\other");
    rows.Append(L"a");
    EXPECT_EQ(L"", rows.FailureReason(0));
    EXPECT_EQ(FileRows::kNoIndex, rows.UndoRecord(0));
}

TEST(FileRows, TypeAheadFindsIndexTextsFromTheStartRowAndWraps) {
    const FileRows rows = Numbered(120);
    EXPECT_EQ(0, rows.FindIndexText(L"0", true, 0, false));
    EXPECT_EQ(9, rows.FindIndexText(L"1", true, 0, false));     // "10"
    EXPECT_EQ(10, rows.FindIndexText(L"1", true, 10, false));   // "11"
    EXPECT_EQ(99, rows.FindIndexText(L"10", true, 20, false));  // "100"
    EXPECT_EQ(9, rows.FindIndexText(L"10", true, 110, true));   // wraps to "10"
    EXPECT_EQ(-1, rows.FindIndexText(L"10", true, 110, false));
    EXPECT_EQ(-1, rows.FindIndexText(L"x", true, 0, true));
    EXPECT_EQ(9, rows.FindIndexText(L"10", false, 0, false));  // exact: "10" only
    EXPECT_EQ(-1, rows.FindIndexText(L"1", false, 0, true));
    EXPECT_EQ(-1, FileRows().FindIndexText(L"1", true, 0, true));
}
