// Which file a handle or a name stands for: the volume's serial number and the file's
// index on it. Two names of one file (a plain path and its "\\?\" form, or a file renamed
// in between) give the same identity; a file replaced under the same name gives another.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

struct FileIdentity {
    uint32_t volume = 0;
    uint64_t index = 0;
    uint64_t size = 0;
    FILETIME lastWrite{};

    // The same file on the same volume, whatever its size and time.
    bool SameFile(const FileIdentity& other) const {
        return volume == other.volume && index == other.index;
    }
    // The same file, and unchanged: same size and last-write time.
    bool SameFileUnchanged(const FileIdentity& other) const {
        return SameFile(other) && size == other.size &&
               CompareFileTime(&lastWrite, &other.lastWrite) == 0;
    }
};

// The identity of an open file; false (with the thread's last error set) when the system
// cannot tell it.
bool ReadFileIdentity(HANDLE file, FileIdentity& identity);

// The identity of the file at `path`, opened for attributes only and sharing everything,
// so it never gets in another program's way. False when it cannot be opened or read.
bool ReadFileIdentity(const std::wstring& path, FileIdentity& identity);
