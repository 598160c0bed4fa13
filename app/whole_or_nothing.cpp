#include "app/whole_or_nothing.h"

#include <windows.h>

namespace {

bool Exists(const std::wstring& path) {
    return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

// After a failed transfer: a destination that was not there before is the transfer's
// own partial file. It goes only while the source is still whole in its place, so no
// file is ever lost. The failure's code is kept for the caller.
void RemovePartialFile(const std::wstring& source, const std::wstring& destination,
                       bool destinationExisted) {
    const DWORD error = GetLastError();
    if (!destinationExisted && Exists(destination) && Exists(source)) {
        SetFileAttributesW(destination.c_str(), FILE_ATTRIBUTE_NORMAL);
        DeleteFileW(destination.c_str());
    }
    SetLastError(error);
}

}  // namespace

bool CopyWholeOrNothing(const std::wstring& source, const std::wstring& destination) {
    const bool existed = Exists(destination);
    if (CopyFileW(source.c_str(), destination.c_str(), TRUE))
        return true;
    RemovePartialFile(source, destination, existed);
    return false;
}

bool MoveWholeOrNothing(const std::wstring& source, const std::wstring& destination) {
    const bool existed = Exists(destination);
    if (MoveFileW(source.c_str(), destination.c_str()))
        return true;
    RemovePartialFile(source, destination, existed);
    return false;
}
