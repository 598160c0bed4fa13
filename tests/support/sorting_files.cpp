#include "tests/support/sorting_files.h"

#include "app/operations/journal.h"
#include "tests/support/process.h"

bool CreateLargeFile(const std::wstring& path, uint64_t size) {
    const HANDLE file =
        CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    LARGE_INTEGER end;
    end.QuadPart = static_cast<LONGLONG>(size);
    const bool sized = SetFilePointerEx(file, end, nullptr, FILE_BEGIN) && SetEndOfFile(file);
    CloseHandle(file);
    return sized;
}

int64_t FileSizeOf(const std::wstring& path) {
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data))
        return -1;
    return (static_cast<int64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}

std::vector<std::wstring> FolderListing(const std::wstring& folder) {
    std::vector<std::wstring> names;
    WIN32_FIND_DATAW found;
    const HANDLE search = FindFirstFileW((folder + L"\\*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE)
        return names;
    do {
        const std::wstring name = found.cFileName;
        if (name != L"." && name != L"..")
            names.push_back(name);
    } while (FindNextFileW(search, &found));
    FindClose(search);
    return names;
}

std::vector<std::vector<std::wstring>> JournalRecords(const std::wstring& path) {
    std::vector<std::vector<std::wstring>> records;
    const std::string bytes = ReadFileBytes(path).value_or("");
    if (bytes.rfind("\xEF\xBB\xBF", 0) != 0)
        return records;
    // Records end at a line break outside quotes; the first is the header.
    size_t start = 3;
    bool quoted = false;
    for (size_t i = start; i < bytes.size(); ++i) {
        if (bytes[i] == '"')
            quoted = !quoted;
        if (!quoted && bytes[i] == '\n') {
            if (start > 3)
                records.push_back(
                    ParseJournalLine(std::string_view(bytes).substr(start, i + 1 - start)));
            start = i + 1;
        }
    }
    return records;
}
