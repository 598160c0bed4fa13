// The orders the file list can show its rows in, and the permutation of the rows each gives.
// Every order is total (ties go by the row's number), so the reverse of an order is exactly
// its rows backwards, and rows listed later go into place by merging.
#pragma once

#include <cstdint>
#include <vector>

#include "app/files/file_rows.h"

enum class SortColumn : uint8_t {
    kReading,    // the order the folder was read in: by the row's number
    kName,       // natural order of the names
    kOperation,  // no operation, "复制文件", "移动文件"
    kResult,     // not acted on, waiting or running, succeeded, failed, undone, cancelled
    kCaptureTime,
};

struct SortOrder {
    SortColumn column = SortColumn::kReading;
    bool descending = false;
    bool operator==(const SortOrder&) const = default;
};

// When a photo was taken, as comparable numbers: the local wall-clock time as
// YYYYMMDDhhmmss and the fraction of its second in nanoseconds.
struct CaptureTime {
    int64_t wallClock = 0;
    uint32_t nanoseconds = 0;
    bool operator==(const CaptureTime&) const = default;
};

// What an order compares beyond the rows themselves: each row's capture time, by row.
struct SortFacts {
    const std::vector<CaptureTime>* captureTimes = nullptr;
};

// The rows of `rows` in `order`, first position first.
std::vector<int32_t> SortedRows(const FileRows& rows, SortOrder order, const SortFacts& facts);
// `shown` (the display order, already in `order`) with `added`, rows missing from it, each
// put in its place.
std::vector<int32_t> WithRowsInPlace(const FileRows& rows, SortOrder order, const SortFacts& facts,
                                     const std::vector<int32_t>& shown, std::vector<int32_t> added);
