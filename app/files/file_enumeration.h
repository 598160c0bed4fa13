// Listing the files directly inside a directory, in batches, as the file system returns them.
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

// Names of files that were found one after another, each followed by its zero unit.
struct FileNameBatch {
    std::vector<wchar_t> names;
    int32_t count = 0;
    bool last = false;   // the listing ends with this batch
    uint32_t error = 0;  // of the last batch: the system's error code when the listing failed

    void Add(std::wstring_view name);
    // Calls `visit` with every name, in order.
    void ForEach(const std::function<void(std::wstring_view)>& visit) const;
};

// How many names a batch holds at most: the first is small, so the first screen of rows
// comes at once; the later ones are large, so a big directory needs few of them.
struct BatchSizes {
    int32_t first = 64;
    int32_t later = 8192;
    uint32_t maximumMilliseconds = 30;  // a batch that is not full goes out after this
};

// Lists the files (not directories) directly inside `directory` (with or without its
// final "\") and hands them to `deliver` in batches, in the order the file system returns
// them; the final batch, possibly empty, is marked last. Stops without a last batch when
// `cancelled` becomes true or `deliver` returns false. A directory that cannot be read
// (or whose listing breaks off) ends with a last batch carrying the system's error code.
void ListFilesInBatches(std::wstring_view directory, const std::atomic<bool>& cancelled,
                        const BatchSizes& sizes,
                        const std::function<bool(FileNameBatch&&)>& deliver);
