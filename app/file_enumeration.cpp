#include "app/file_enumeration.h"

#include <windows.h>

#include <string>

#include "app/file_transfer.h"
#include "runtime/binding.h"

BlockArray FilePathList;

int32_t EnumerateFiles(const TextBlock& directory, const TextBlock& pattern, BlockArray& result,
                       bool withPath) {
    std::wstring folder(directory.WideView());  // cut at the first zero unit
    if (folder.empty() || folder.back() != L'\\')
        folder.push_back(L'\\');

    result.Clear();
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW((folder + std::wstring(pattern.WideView())).c_str(), &found);
    if (search == INVALID_HANDLE_VALUE)
        return result.Count();

    do {
        if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
            continue;
        const std::wstring_view name(found.cFileName);
        // Copies still being written (or left by a killed process) are not files yet.
        if (name.empty() || name == L"." || name == L".." || IsPartialFileName(name))
            continue;
        result.Append(
            TextBlock::FromWide(withPath ? folder + std::wstring(name) : std::wstring(name)));
    } while (FindNextFileW(search, &found));

    SystemFunctions::FindClose(search);
    return result.Count();
}
