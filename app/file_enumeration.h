// Listing the files directly inside a directory.
#pragma once

#include "runtime/text.h"

// The full UTF-16 path of every listed file; entry k belongs to file list row k.
extern BlockArray FilePathList;

// Fills `result` with the files (not directories) directly inside `directory` that match
// `pattern`, in the order the file system returns them: full paths when `withPath`,
// bare names otherwise, each a UTF-16 text with its zero unit. Returns the count.
int32_t EnumerateFiles(const TextBlock& directory, const TextBlock& pattern, BlockArray& result,
                       bool withPath);
