#include "app/preview/file_byte_source.h"

#include <algorithm>

#include "app/preview/shared_file_stream.h"

FileByteSource::FileByteSource(const std::wstring& path) : file_(OpenFileShared(path)) {
    LARGE_INTEGER size = {};
    BY_HANDLE_FILE_INFORMATION information = {};
    if (file_ && GetFileSizeEx(file_.Get(), &size) &&
        GetFileInformationByHandle(file_.Get(), &information)) {
        size_ = static_cast<uint64_t>(size.QuadPart);
        lastWrite_ = information.ftLastWriteTime;
    } else
        file_.Reset();
}

bool FileByteSource::Read(uint64_t offset, size_t length, uint8_t* out) {
    if (!file_)
        return false;
    bytesRead_ += length;
    // ReadFile takes at most a DWORD's worth at a time.
    while (length > 0) {
        OVERLAPPED at = {};
        at.Offset = static_cast<DWORD>(offset);
        at.OffsetHigh = static_cast<DWORD>(offset >> 32);
        const DWORD wanted = static_cast<DWORD>(std::min<size_t>(length, 1u << 30));
        DWORD read = 0;
        if (!ReadFile(file_.Get(), out, wanted, &read, &at) || read != wanted)
            return false;
        offset += read;
        out += read;
        length -= read;
    }
    return true;
}
