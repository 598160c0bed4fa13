// The undo history of the file list's copies and moves, and the undos the file list's menu
// and Ctrl+Z ask for. A successful copy or move is recorded; its undo goes through the same
// queue, and a refused undo may be tried again.
#pragma once

#include <cstdint>
#include <vector>

#include "app/files/file_rows.h"
#include "app/operations/operation_queue.h"

struct Application;

// The records of the current file list, oldest first; a row keeps its record's index.
class UndoHistory {
  public:
    static constexpr int32_t kNone = -1;

    // Records `done`, a copy or move as carried out (with the size and time of its result),
    // for `row`; its index.
    int32_t Add(int32_t row, Operation done);
    // A new file list: its rows have no history.
    void Clear() { records_.clear(); }

    // Neither undone nor on its way to be: a refused undo may be tried again. False for an
    // index that names no record.
    bool Undoable(int32_t index) const;
    // The most recent undoable record, kNone when there is none. A refused undo counts: its
    // operation stays the most recent one not undone.
    int32_t MostRecentUndoable() const;
    int32_t Row(int32_t index) const { return records_[index].row; }

    // Marks the record's undo as queued; the operation that undoes it.
    Operation StartUndo(int32_t index);
    // The record's undo ended: undone when it succeeded, else it may be tried again.
    void FinishUndo(int32_t index, bool succeeded);

  private:
    struct Record {
        int32_t row;
        Operation done;
        bool undoQueued = false;
        bool undone = false;
    };
    std::vector<Record> records_;
};

// Whether `row` can be undone: its last copy or move succeeded and was not undone yet; an
// undo that was refused can be tried again.
bool CanUndoRow(const FileRows& rows, const UndoHistory& history, int32_t row);
bool CanUndoRow(const Application& app, int32_t row);
void UndoRow(Application& app, int32_t row);
// Undoes the most recent successful operation not undone yet, trying a refused undo again
// rather than going on to an older operation; false when there is none.
bool UndoMostRecent(Application& app);
