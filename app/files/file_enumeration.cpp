#include "app/files/file_enumeration.h"

#include <windows.h>

#include "app/operations/file_transfer.h"
#include "ui/unique_handle.h"

void FileNameBatch::Add(std::wstring_view name) {
    names.insert(names.end(), name.begin(), name.end());
    names.push_back(L'\0');
    ++count;
}

void FileNameBatch::ForEach(const std::function<void(std::wstring_view)>& visit) const {
    for (size_t at = 0; at < names.size();) {
        const std::wstring_view name(names.data() + at);
        visit(name);
        at += name.size() + 1;
    }
}

namespace {

// The error of a listing that found nothing. A folder without any entry is no error: the
// system reports it as a file not found (a drive root has no "." and "..", so an empty
// memory card is such a folder).
DWORD ListingError(DWORD error) {
    return error == ERROR_FILE_NOT_FOUND ? ERROR_SUCCESS : error;
}

}  // namespace

void ListFilesInBatches(std::wstring_view directory, const std::atomic<bool>& cancelled,
                        const BatchSizes& sizes,
                        const std::function<bool(FileNameBatch&&)>& deliver) {
    std::wstring pattern(directory.substr(0, directory.find(L'\0')));
    if (pattern.empty() || pattern.back() != L'\\')
        pattern.push_back(L'\\');
    pattern.push_back(L'*');

    WIN32_FIND_DATAW found;
    const HANDLE first =
        FindFirstFileExW(pattern.c_str(), FindExInfoBasic, &found, FindExSearchNameMatch, nullptr,
                         FIND_FIRST_EX_LARGE_FETCH);
    if (first == INVALID_HANDLE_VALUE) {
        FileNameBatch empty;
        empty.last = true;
        empty.error = ListingError(GetLastError());
        deliver(std::move(empty));
        return;
    }
    const UniqueFind search(first);

    FileNameBatch batch;
    int32_t limit = sizes.first;
    ULONGLONG started = GetTickCount64();
    do {
        if (cancelled.load(std::memory_order_relaxed))
            return;
        if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
            continue;
        const std::wstring_view name(found.cFileName);
        // Copies still being written (or left by a killed process) are not files yet.
        if (name.empty() || name == L"." || name == L".." || IsPartialFileName(name))
            continue;
        batch.Add(name);
        if (batch.count >= limit || GetTickCount64() - started >= sizes.maximumMilliseconds) {
            if (!deliver(std::move(batch)))
                return;
            batch = FileNameBatch();
            limit = sizes.later;
            started = GetTickCount64();
        }
    } while (FindNextFileW(search.Get(), &found));
    const DWORD ended = GetLastError();

    if (cancelled.load(std::memory_order_relaxed))
        return;
    batch.last = true;
    batch.error = ended == ERROR_NO_MORE_FILES ? ERROR_SUCCESS : ended;
    deliver(std::move(batch));
}
