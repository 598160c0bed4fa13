// The names a file takes beside another of its name when both are kept: " (2)", " (3)"...
// before its last extension, and the walk through them to the first free one. No file
// system: the caller looks at each name.
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "app/operations/file_transfer.h"

// The highest number a kept name takes; past it the folder has no name left for the file.
constexpr int32_t kLastNameNumber = 9999;

// `name` with " (number)" before its last extension ("IMG_1 (2).JPG", "a.tar (2).gz"), or at
// its end when it has none ("README (2)"; a leading dot starts no extension: ".profile (2)").
// Number 1 is the name itself.
std::wstring NumberedName(std::wstring_view name, int32_t number);

// The path with its last part numbered as NumberedName does; the folder part ("\" or "/") is
// kept as it is.
std::wstring NumberedPath(std::wstring_view path, int32_t number);

// The last part of a path, after its last "\" or "/".
std::wstring_view NameOfPath(std::wstring_view path);

// What a look under one of the file's names found: nothing (ERROR_SUCCESS), a file
// (ERROR_FILE_EXISTS; `same` when it holds the file's own bytes), or the look's own error.
struct NameLook {
    DWORD error = ERROR_SUCCESS;
    bool same = false;
};

// The first number, from `number` on, under whose name `look` finds nothing; `number` is
// left at the last one looked at. A file holding the same bytes fails with kSameFileReason,
// another file with kDifferentFileReason unless both are kept, when the next number is
// looked at; past kLastNameNumber the failure is kNoFreeNameReason.
TransferResult FindFreeNumber(int32_t& number, NameClash clash,
                              const std::function<NameLook(int32_t number)>& look);
