// The file list's rows while operations run: which operation the worker has is which row's,
// and each row's result column as the worker reports ("等待中", "复制中 37%", then the
// result), with a failure's reason and a success's undo record in the row store.
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <vector>

#include "app/files/file_rows.h"
#include "app/operations/operation_queue.h"
#include "app/operations/undo_history.h"
#include "ui/virtual_list_view.h"

bool IsRow(const FileRows& rows, int32_t row);

// The result column of a row, redrawn; `percent` only while a copy runs. Nothing for a row
// not in the list.
void ShowResult(FileRows& rows, VirtualListViewControl& list, int32_t row, RowResult result,
                int32_t percent = 0);

// The operations handed to the worker, each with the row of the file list it was queued from.
class TrackedRows {
  public:
    struct Tracked {
        int32_t row;
        OperationKind kind;
        int32_t undoIndex;  // for an undo: its record; UndoHistory::kNone otherwise
    };

    // Follows operation `id`; 0 (the worker could not take it) is not followed.
    void Track(uint32_t id, int32_t row, OperationKind kind, int32_t undoIndex);
    // The row of operation `id` in the current file list, if it has one.
    std::optional<Tracked> Find(uint32_t id) const;
    // Stops following `id`; what it was, unless it is unknown or of an older file list.
    std::optional<Tracked> Take(uint32_t id);
    // A new file list: the operations under way belong to none of its rows.
    void ForgetRows() { ++generation_; }
    // A stopped queue: none of its operations is followed any more.
    void Clear() { tracked_.clear(); }

  private:
    struct Entry {
        Tracked tracked;
        uint32_t generation;  // the file list the row belongs to
    };
    std::map<uint32_t, Entry> tracked_;
    uint32_t generation_ = 1;
};

void ShowProgress(const TrackedRows& tracked, FileRows& rows, VirtualListViewControl& list,
                  uint32_t id, int32_t percent);
// The ended operations in their rows: the result, a failure's reason, a success's undo
// record, and for an undo its record's new state.
void ShowFinished(std::vector<FinishedOperation> finished, TrackedRows& tracked,
                  UndoHistory& history, FileRows& rows, VirtualListViewControl& list);
