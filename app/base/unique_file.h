// Sole ownership of an open file handle, and the error code of a failed file call.
#pragma once

#include <windows.h>

#include "ui/unique_handle.h"

// A file is a kernel handle: one owner for both (never INVALID_HANDLE_VALUE).
using UniqueFile = UniqueKernelHandle;

// CreateFileW's result owned; empty when the file could not be opened.
inline UniqueFile OwnedFile(HANDLE opened) {
    return UniqueFile(opened == INVALID_HANDLE_VALUE ? nullptr : opened);
}

// The thread's last error, or `fallback` when a call failed without setting one.
inline DWORD LastErrorOr(DWORD fallback) {
    const DWORD error = GetLastError();
    return error != ERROR_SUCCESS ? error : fallback;
}
