// The journal's line for each ended operation, and where the journal lies.
#include <gtest/gtest.h>

#include "app/operations/operation_journal.h"

namespace {

FinishedOperation Ended(OperationKind kind, OperationOutcome outcome, std::wstring reason = L"") {
    FinishedOperation finished;
    finished.operation.kind = kind;
    finished.operation.source = L"C:\\照片\\a.jpg";
    finished.operation.destination = L"D:\\目标\\a.jpg";
    finished.outcome = outcome;
    finished.reason = std::move(reason);
    return finished;
}

// The names and result texts of each kind and outcome are the row store's; here, which file
// each line names as source and target.
TEST(OperationJournalTest, UndoNamesTheFileItActsOnAsItsSource) {
    const SYSTEMTIME time = {2026, 12, 1, 7, 14, 5, 9, 0};
    const JournalEntry move =
        JournalEntryOf(Ended(OperationKind::kMove, OperationOutcome::kSucceeded), time);
    EXPECT_EQ(L"C:\\照片\\a.jpg", move.source);
    EXPECT_EQ(L"D:\\目标\\a.jpg", move.destination);
    EXPECT_EQ(14, move.localTime.wHour);

    const JournalEntry undoMove = JournalEntryOf(
        Ended(OperationKind::kUndoMove, OperationOutcome::kFailed, L"文件已被修改或替换"), time);
    EXPECT_EQ(L"撤销移动", undoMove.operation);
    EXPECT_EQ(L"D:\\目标\\a.jpg", undoMove.source);
    EXPECT_EQ(L"C:\\照片\\a.jpg", undoMove.destination);
    EXPECT_EQ(L"撤销失败", undoMove.result);
    EXPECT_EQ(L"文件已被修改或替换", undoMove.reason);

    const JournalEntry undoCopy =
        JournalEntryOf(Ended(OperationKind::kUndoCopy, OperationOutcome::kSucceeded), time);
    EXPECT_EQ(L"D:\\目标\\a.jpg", undoCopy.source);
    EXPECT_EQ(L"", undoCopy.destination);
}

TEST(OperationJournalTest, JournalLiesBesideConfigIni) {
    EXPECT_EQ(L"C:\\程序\\操作记录.csv", JournalPath(L"C:\\程序\\config.ini"));
    EXPECT_EQ(L".\\操作记录.csv", JournalPath(L"config.ini"));
}

}  // namespace
