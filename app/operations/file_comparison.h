// Whether two files hold the same bytes: the sizes first, then the bytes, each file read
// once, in pieces, on the calling thread (the worker), stopping when cancelled.
#pragma once

#include <windows.h>

#include <atomic>
#include <string>

#include "app/operations/file_transfer.h"

struct FileComparison {
    DWORD error = ERROR_SUCCESS;  // ERROR_REQUEST_ABORTED when cancelled
    bool same = false;
};

// Compares the files at `first` and `second` (exact paths). A folder is never the same as a
// file. Reports the share of bytes compared through `progress`, 0 to 100, as it grows.
FileComparison CompareFileContents(const std::wstring& first, const std::wstring& second,
                                   const std::atomic<bool>& cancel,
                                   const TransferProgress& progress);
