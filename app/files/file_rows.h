// The file list's rows: one compact record per listed file, the only copy of its path.
// The list view holds no texts of its own; it asks for every cell, and the cell texts
// are made from the record when asked.
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

class FileRows {
  public:
    static constexpr int32_t kNoIndex = -1;

    // Forgets every row; the next rows belong to `directory` (with or without its "\").
    void Reset(std::wstring_view directory);
    // Appends a row for the file `name` inside the directory; its row number.
    int32_t Append(std::wstring_view name);

    int32_t RowCount() const { return static_cast<int32_t>(rows_.size()); }
    const std::wstring& Directory() const { return directory_; }  // ends with "\"
    // The full path: the directory followed by the name, exactly as the system spells it.
    std::wstring Path(int32_t row) const;
    std::wstring_view Name(int32_t row) const;

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

    // The text of a cell, written with its zero unit into `buffer` of `capacity` units
    // (cut to fit). The index column counts from "01"; the name column shows the name as
    // code page 936 can show it.
    void CellText(int32_t row, int32_t column, wchar_t* buffer, int32_t capacity) const;
    // The first row at or after `start` whose index text begins with `text` (`partial`)
    // or equals it, going on from the top when `wrap`; -1 when none.
    int32_t FindIndexText(std::wstring_view text, bool partial, int32_t start, bool wrap) const;

  private:
    struct Row {
        uint32_t nameOffset;  // into names_, where the name and its zero unit are
        int32_t failureReason = kNoIndex;
        int32_t undoRecord = kNoIndex;
        RowOperation operation = RowOperation::kNone;
        RowResult result = RowResult::kNone;
        uint8_t percent = 0;
    };

    std::wstring directory_;
    std::vector<wchar_t> names_;  // every name with its zero unit, one after another
    std::vector<Row> rows_;
    std::vector<std::wstring> failureReasons_;  // most rows have none
};
