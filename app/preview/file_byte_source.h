// The image metadata reader's bytes straight from a file, a few at a time, so a large photo
// or raw file is never read whole for its orientation.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

#include "app/base/unique_file.h"
#include "app/metadata/image_metadata.h"

class FileByteSource final : public ByteSource {
  public:
    // Opens `path` for reading with read, write and delete sharing, so that reading it
    // never stops anyone from changing, moving or deleting the file. Check IsOpen().
    explicit FileByteSource(const std::wstring& path);

    bool IsOpen() const { return static_cast<bool>(file_); }
    // The size when the file was opened; 0 when it could not be opened.
    uint64_t Size() const override { return size_; }
    // The last write time when the file was opened.
    FILETIME LastWriteTime() const { return lastWrite_; }
    // Reads at `offset` without regard to any earlier read; false when the file ends first.
    bool Read(uint64_t offset, size_t length, uint8_t* out) override;
    // The bytes asked for so far, to show how little of a large file a reader needs.
    uint64_t BytesRead() const { return bytesRead_; }

  private:
    UniqueFile file_;
    uint64_t size_ = 0;
    FILETIME lastWrite_ = {};
    uint64_t bytesRead_ = 0;
};
