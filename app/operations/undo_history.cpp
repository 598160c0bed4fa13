#include "app/operations/undo_history.h"

#include "app/operations/background_state.h"
#include "app/operations/move_on.h"
#include "app/operations/operation_rows.h"
#include "app/window/application.h"

int32_t UndoHistory::Add(int32_t row, Operation done) {
    records_.push_back({row, std::move(done)});
    return static_cast<int32_t>(records_.size()) - 1;
}

bool UndoHistory::Undoable(int32_t index) const {
    if (index < 0 || index >= static_cast<int32_t>(records_.size()))
        return false;
    const Record& record = records_[index];
    return !record.undone && !record.undoQueued;
}

int32_t UndoHistory::MostRecentUndoable() const {
    for (int32_t index = static_cast<int32_t>(records_.size()); index-- > 0;) {
        if (Undoable(index))
            return index;
    }
    return kNone;
}

Operation UndoHistory::StartUndo(int32_t index) {
    Record& record = records_[index];
    Operation operation = record.done;
    operation.kind = record.done.kind == OperationKind::kCopy ? OperationKind::kUndoCopy
                                                              : OperationKind::kUndoMove;
    record.undoQueued = true;
    return operation;
}

void UndoHistory::FinishUndo(int32_t index, bool succeeded) {
    Record& record = records_[index];
    record.undoQueued = false;
    record.undone = succeeded;
}

bool CanUndoRow(const FileRows& rows, const UndoHistory& history, int32_t row) {
    return IsRow(rows, row) && history.Undoable(rows.UndoRecord(row));
}

bool CanUndoRow(const Application& app, int32_t row) {
    return CanUndoRow(app.fileRows, app.background->undo, row);
}

namespace {

void QueueUndo(Application& app, int32_t index) {
    BackgroundOperations& state = *app.background;
    const Operation operation = state.undo.StartUndo(index);
    const int32_t row = state.undo.Row(index);
    if (IsRow(app.fileRows, row))
        app.fileRows.SetFailureReason(row, L"");
    ShowResult(app.fileRows, app.controls.fileList, row, RowResult::kPending);
    state.tracked.Track(QueueOf(app).Enqueue(operation), row, operation.kind, index);
    ReturnToUndoneRow(app, row);
}

}  // namespace

void UndoRow(Application& app, int32_t row) {
    if (CanUndoRow(app, row))
        QueueUndo(app, app.fileRows.UndoRecord(row));
}

bool UndoMostRecent(Application& app) {
    const int32_t index = app.background->undo.MostRecentUndoable();
    if (index == UndoHistory::kNone)
        return false;
    QueueUndo(app, index);
    return true;
}
