// The file list's rows: one compact record per listed file, the only copy of its path.
// The list view holds no texts of its own; it asks for every cell, and the cell texts
// are made from the record when asked.
//
// A row keeps its number (its index here, shown from "01") whatever order the list shows:
// the display order is a permutation beside the rows, from a position in the list to a row
// and back. Everything the list reports or is told goes through it; everything else
// (operations, results, undo, tips) names rows.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// What a row's file is being or was last done with.
enum class RowOperation : uint8_t { kNone, kCopy, kMove };

// The state the result column shows.
enum class RowResult : uint8_t {
    kNone,
    kPending,     // "等待中"
    kInProgress,  // "复制中 37%" or "移动中 37%", by the row's operation
    kCopied,      // "复制成功"
    kCopyFailed,  // "复制失败"
    kMoved,       // "移动成功"
    kMoveFailed,  // "移动失败"
    kUndone,      // "已撤销"
    kUndoFailed,  // "撤销失败"
    kCancelled,   // "已取消"
};

class FileRows;
// The row shown at `position`; kNoIndex (-1) for a position outside the list.
int32_t RowAtPosition(const FileRows& rows, int32_t position);

class FileRows {
  public:
    static constexpr int32_t kNoIndex = -1;

    // Forgets every row; the next rows belong to `directory` (with or without its "\").
    void Reset(std::wstring_view directory);
    // Appends a row for the file `name` inside the directory, shown last, with its natural
    // sort key (app/files/natural_order.h); its row number.
    int32_t Append(std::wstring_view name);

    int32_t RowCount() const { return static_cast<int32_t>(rows_.size()); }
    const std::wstring& Directory() const { return directory_; }  // ends with "\"
    // The full path: the directory followed by the name, exactly as the system spells it.
    std::wstring Path(int32_t row) const;
    std::wstring_view Name(int32_t row) const;
    // The key that orders names as a person reads them, built when the row was appended.
    std::wstring_view NaturalSortKey(int32_t row) const;

    // The row shown at `position` of the list, and the position of `row`.
    int32_t RowAt(int32_t position) const { return order_[position]; }
    int32_t PositionOf(int32_t row) const { return positions_[row]; }
    // Every row from the first position to the last.
    const std::vector<int32_t>& DisplayOrder() const { return order_; }
    // Shows the rows in `order`, a permutation of every row.
    void SetDisplayOrder(std::vector<int32_t> order);

    RowOperation Operation(int32_t row) const { return rows_[row].operation; }
    void SetOperation(int32_t row, RowOperation operation) { rows_[row].operation = operation; }
    RowResult Result(int32_t row) const { return rows_[row].result; }
    int32_t Percent(int32_t row) const { return rows_[row].percent; }
    // `percent` counts only for kInProgress (0 to 100).
    void SetResult(int32_t row, RowResult result, int32_t percent = 0);
    // The system's reason for a failure; an empty text removes it.
    void SetFailureReason(int32_t row, std::wstring_view reason);
    std::wstring_view FailureReason(int32_t row) const;
    // The index of the row's undo record, kNoIndex for none.
    int32_t UndoRecord(int32_t row) const { return rows_[row].undoRecord; }
    void SetUndoRecord(int32_t row, int32_t record) { rows_[row].undoRecord = record; }

    // The text of a cell of the row at `position`, written with its zero unit into `buffer` of
    // `capacity` units (cut to fit). The index column counts from "01"; the name column shows the
    // name as code page 936 can show it.
    void CellText(int32_t position, int32_t column, wchar_t* buffer, int32_t capacity) const;
    // The first position at or after `start` whose row's index text begins with `text`
    // (`partial`) or equals it, going on from the top when `wrap`; -1 when none.
    int32_t FindIndexText(std::wstring_view text, bool partial, int32_t start, bool wrap) const;

  private:
    struct Row {
        uint32_t nameOffset;  // into names_, where the name and its zero unit are
        uint32_t keyOffset;   // into keys_, where the natural sort key starts
        int32_t failureReason = kNoIndex;
        int32_t undoRecord = kNoIndex;
        RowOperation operation = RowOperation::kNone;
        RowResult result = RowResult::kNone;
        uint8_t percent = 0;
    };

    std::wstring directory_;
    std::vector<wchar_t> names_;  // every name with its zero unit, one after another
    std::vector<wchar_t> keys_;   // every natural sort key, one after another
    std::vector<Row> rows_;
    std::vector<int32_t> order_;                // position -> row
    std::vector<int32_t> positions_;            // row -> position
    std::vector<std::wstring> failureReasons_;  // most rows have none
};
