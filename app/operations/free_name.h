// The names a file takes beside another of its name when both are kept: " (2)", " (3)"...
// before its last extension. Pure text, no file system.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

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
