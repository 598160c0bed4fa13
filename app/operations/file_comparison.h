// Whether two files hold the same bytes: the sizes first, then the bytes, each file read
// once, in pieces, stopping when cancelled. The calling thread (the worker) compares; for
// large files a reader thread of its own reads ahead of it.
#pragma once

#include <windows.h>

#include <atomic>
#include <cstdint>
#include <string>

#include "app/operations/file_transfer.h"

// From this size on a reader thread reads ahead of the comparison.
constexpr uint64_t kCompareReadAheadFromBytes = 16ULL << 20;

struct FileComparison {
    DWORD error = ERROR_SUCCESS;  // ERROR_REQUEST_ABORTED when cancelled
    bool same = false;
};

// Compares the files at `first` and `second` (exact paths). A folder is never the same as a
// file. Reports the share of bytes compared through `progress`, 0 to 100, as it grows.
// `spinMicroseconds` is how long the comparer waits for the reader ahead before it counts a
// hand-over as slow; tests give 0 to make it take over the reading part way.
FileComparison CompareFileContents(const std::wstring& first, const std::wstring& second,
                                   const std::atomic<bool>& cancel,
                                   const TransferProgress& progress, int spinMicroseconds = 1000);
