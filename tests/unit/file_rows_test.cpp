#include <gtest/gtest.h>

#include <string>

#include "app/files/file_list.h"
#include "app/files/file_rows.h"
#include "app/operations/result_texts.h"

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

TEST(FileRows, OperationAndResultCells) {
    FileRows rows = Numbered(2);
    rows.SetOperation(0, RowOperation::kCopy);
    rows.SetOperation(1, RowOperation::kMove);
    EXPECT_EQ(L"复制文件", Cell(rows, 0, kFileOperationColumn));
    EXPECT_EQ(L"移动文件", Cell(rows, 1, kFileOperationColumn));

    const std::pair<RowResult, const wchar_t*> finals[] = {
        {RowResult::kPending, L"等待中"},      {RowResult::kCopied, L"复制成功"},
        {RowResult::kCopyFailed, L"复制失败"}, {RowResult::kMoved, L"移动成功"},
        {RowResult::kMoveFailed, L"移动失败"}, {RowResult::kUndone, L"已撤销"},
        {RowResult::kUndoFailed, L"撤销失败"}, {RowResult::kCancelled, L"已取消"}};
    for (const auto& [result, text] : finals) {
        rows.SetResult(0, result);
        EXPECT_EQ(text, Cell(rows, 0, kFileResultColumn));
    }
    rows.SetResult(0, RowResult::kInProgress, 37);
    rows.SetResult(1, RowResult::kInProgress, 5);
    EXPECT_EQ(L"复制中 37%", Cell(rows, 0, kFileResultColumn));
    EXPECT_EQ(L"移动中 5%", Cell(rows, 1, kFileResultColumn));
    rows.SetResult(1, RowResult::kInProgress, 250);
    EXPECT_EQ(100, rows.Percent(1));
}

// The journal writes these texts for each kind of operation and how it ended.
TEST(FileRows, EveryEndedOperationHasItsNameAndResultText) {
    struct Case {
        OperationKind kind;
        const wchar_t* name;
        const wchar_t* succeeded;
        const wchar_t* failed;
    };
    const Case cases[] = {{OperationKind::kCopy, L"复制文件", L"复制成功", L"复制失败"},
                          {OperationKind::kMove, L"移动文件", L"移动成功", L"移动失败"},
                          {OperationKind::kUndoCopy, L"撤销复制", L"已撤销", L"撤销失败"},
                          {OperationKind::kUndoMove, L"撤销移动", L"已撤销", L"撤销失败"}};
    for (const Case& c : cases) {
        EXPECT_EQ(c.name, OperationName(c.kind));
        EXPECT_EQ(c.succeeded, ResultText(ResultOf(c.kind, OperationOutcome::kSucceeded)));
        EXPECT_EQ(c.failed, ResultText(ResultOf(c.kind, OperationOutcome::kFailed)));
        EXPECT_EQ(L"已取消", ResultText(ResultOf(c.kind, OperationOutcome::kCancelled)));
    }
}

TEST(FileRows, FailureReasonsAndUndoRecordsBelongToTheirRow) {
    FileRows rows = Numbered(3);
    rows.SetFailureReason(1, L"文件已存在。");
    rows.SetFailureReason(2, L"磁盘已满。");
    rows.SetFailureReason(1, L"拒绝访问。");
    EXPECT_EQ(L"", rows.FailureReason(0));
    EXPECT_EQ(L"拒绝访问。", rows.FailureReason(1));
    EXPECT_EQ(L"磁盘已满。", rows.FailureReason(2));
    rows.SetFailureReason(2, L"");
    EXPECT_EQ(L"", rows.FailureReason(2));
    EXPECT_EQ(FileRows::kNoIndex, rows.UndoRecord(0));
    rows.SetUndoRecord(0, 7);
    EXPECT_EQ(7, rows.UndoRecord(0));
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
