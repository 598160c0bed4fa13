#include "app/operations/operation_rows.h"

#include "app/operations/result_texts.h"

bool IsRow(const FileRows& rows, int32_t row) {
    return row >= 0 && row < rows.RowCount();
}

void ShowResult(FileRows& rows, VirtualListViewControl& list, int32_t row, RowResult result,
                int32_t percent) {
    if (!IsRow(rows, row))
        return;
    rows.SetResult(row, result, percent);
    list.RedrawRow(rows.PositionOf(row));
}

void TrackedRows::Track(uint32_t id, int32_t row, OperationKind kind, int32_t undoIndex) {
    if (id != 0)
        tracked_[id] = {{row, kind, undoIndex}, generation_};
}

std::optional<TrackedRows::Tracked> TrackedRows::Find(uint32_t id) const {
    const auto found = tracked_.find(id);
    if (found == tracked_.end() || found->second.generation != generation_)
        return std::nullopt;
    return found->second.tracked;
}

std::optional<TrackedRows::Tracked> TrackedRows::Take(uint32_t id) {
    const auto found = tracked_.find(id);
    if (found == tracked_.end())
        return std::nullopt;
    const Entry entry = found->second;
    tracked_.erase(found);
    if (entry.generation != generation_)
        return std::nullopt;  // its list is gone; the journal has it
    return entry.tracked;
}

void ShowProgress(const TrackedRows& tracked, FileRows& rows, VirtualListViewControl& list,
                  uint32_t id, int32_t percent) {
    if (const std::optional<TrackedRows::Tracked> operation = tracked.Find(id))
        ShowResult(rows, list, operation->row, RowResult::kInProgress, percent);
}

void ShowFinished(std::vector<FinishedOperation> finished, TrackedRows& tracked,
                  UndoHistory& history, FileRows& rows, VirtualListViewControl& list) {
    for (FinishedOperation& ended : finished) {
        const std::optional<TrackedRows::Tracked> operation = tracked.Take(ended.id);
        if (!operation || !IsRow(rows, operation->row))
            continue;
        const bool ok = ended.outcome == OperationOutcome::kSucceeded;
        // A failure's reason, or the name a file kept beside another took.
        rows.SetFailureReason(operation->row, ended.reason);
        if (operation->undoIndex != UndoHistory::kNone) {
            history.FinishUndo(operation->undoIndex, ok);
        } else if (ok) {
            Operation done = std::move(ended.operation);
            done.size = ended.transfer.size;
            done.lastWrite = ended.transfer.lastWrite;
            rows.SetUndoRecord(operation->row, history.Add(operation->row, std::move(done)));
        }
        ShowResult(rows, list, operation->row, ResultOf(operation->kind, ended.outcome));
    }
}
