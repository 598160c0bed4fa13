#include "app/operations/file_identity.h"

#include "app/base/unique_file.h"

bool ReadFileIdentity(HANDLE file, FileIdentity& identity) {
    BY_HANDLE_FILE_INFORMATION info;
    if (!GetFileInformationByHandle(file, &info))
        return false;
    identity.volume = info.dwVolumeSerialNumber;
    identity.index = (static_cast<uint64_t>(info.nFileIndexHigh) << 32) | info.nFileIndexLow;
    identity.size = (static_cast<uint64_t>(info.nFileSizeHigh) << 32) | info.nFileSizeLow;
    identity.lastWrite = info.ftLastWriteTime;
    return true;
}

bool ReadFileIdentity(const std::wstring& path, FileIdentity& identity) {
    // FILE_FLAG_BACKUP_SEMANTICS lets a folder be opened too, so a folder in the file's
    // place is told apart by its identity rather than by a failed open.
    const UniqueFile file = OwnedFile(
        CreateFileW(path.c_str(), FILE_READ_ATTRIBUTES,
                    FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                    FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    return file && ReadFileIdentity(file.Get(), identity);
}
