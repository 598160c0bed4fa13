// The undo history and the rows that follow the worker's operations: which record Ctrl+Z
// undoes, which undo a row offers, and that an operation of a file list read before the
// current one reaches no row. What an undo does to the files is checked in the program.
#include <gtest/gtest.h>

#include "app/operations/operation_rows.h"
#include "app/operations/undo_history.h"

namespace {

Operation Done(OperationKind kind, std::wstring source, std::wstring destination) {
    Operation operation;
    operation.kind = kind;
    operation.source = std::move(source);
    operation.destination = std::move(destination);
    return operation;
}

TEST(UndoHistoryTest, MostRecentSkipsQueuedAndUndoneButStaysOnRefusedUndo) {
    UndoHistory history;
    EXPECT_EQ(UndoHistory::kNone, history.MostRecentUndoable());
    const int32_t first = history.Add(3, Done(OperationKind::kCopy, L"C:\\a", L"D:\\a"));
    const int32_t second = history.Add(7, Done(OperationKind::kMove, L"C:\\b", L"D:\\b"));
    EXPECT_EQ(0, first);
    EXPECT_EQ(1, second);
    EXPECT_EQ(7, history.Row(second));
    EXPECT_EQ(second, history.MostRecentUndoable());

    // Two quick presses undo two operations: a queued undo is passed over.
    history.StartUndo(second);
    EXPECT_FALSE(history.Undoable(second));
    EXPECT_EQ(first, history.MostRecentUndoable());

    // A refused undo stays the most recent: Ctrl+Z tries it again, not the older one.
    history.FinishUndo(second, false);
    EXPECT_TRUE(history.Undoable(second));
    EXPECT_EQ(second, history.MostRecentUndoable());

    history.StartUndo(second);
    history.FinishUndo(second, true);
    EXPECT_FALSE(history.Undoable(second));
    EXPECT_EQ(first, history.MostRecentUndoable());

    history.Clear();
    EXPECT_FALSE(history.Undoable(first));
    EXPECT_EQ(UndoHistory::kNone, history.MostRecentUndoable());
}

TEST(UndoHistoryTest, RowOffersUndoOnlyForItsOwnUndoableRecord) {
    FileRows rows;
    rows.Reset(L"C:\\files");
    rows.Append(L"a");
    rows.Append(L"b");
    UndoHistory history;
    EXPECT_FALSE(CanUndoRow(rows, history, 0));  // no record yet
    rows.SetUndoRecord(0, history.Add(0, Done(OperationKind::kCopy, L"C:\\a", L"D:\\a")));
    EXPECT_TRUE(CanUndoRow(rows, history, 0));
    EXPECT_FALSE(CanUndoRow(rows, history, 1));
    EXPECT_FALSE(CanUndoRow(rows, history, 2));   // not a row
    EXPECT_FALSE(CanUndoRow(rows, history, -1));  // no row under the mouse
    history.Clear();                              // a record index left in a row by an older list
    EXPECT_FALSE(CanUndoRow(rows, history, 0));
}

TEST(TrackedRowsTest, OperationsOfAnOlderFileListReachNoRow) {
    TrackedRows tracked;
    tracked.Track(0, 4, OperationKind::kCopy, UndoHistory::kNone);  // the worker took none
    EXPECT_FALSE(tracked.Find(0));
    tracked.Track(1, 4, OperationKind::kMove, UndoHistory::kNone);
    tracked.Track(2, 5, OperationKind::kUndoCopy, 0);
    ASSERT_TRUE(tracked.Find(2));
    EXPECT_EQ(5, tracked.Find(2)->row);
    EXPECT_EQ(0, tracked.Find(2)->undoIndex);

    const std::optional<TrackedRows::Tracked> taken = tracked.Take(1);
    ASSERT_TRUE(taken);
    EXPECT_EQ(OperationKind::kMove, taken->kind);
    EXPECT_FALSE(tracked.Take(1));  // reported once

    tracked.ForgetRows();
    EXPECT_FALSE(tracked.Find(2));
    EXPECT_FALSE(tracked.Take(2));
    // Taken all the same: a later list's operation with a reused row is its own.
    tracked.Track(3, 5, OperationKind::kCopy, UndoHistory::kNone);
    EXPECT_EQ(OperationKind::kCopy, tracked.Take(3)->kind);

    tracked.Track(4, 6, OperationKind::kCopy, UndoHistory::kNone);
    tracked.Clear();
    EXPECT_FALSE(tracked.Find(4));
}

}  // namespace
