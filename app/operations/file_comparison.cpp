#include "app/operations/file_comparison.h"

#include <cstdint>
#include <vector>

#include "app/base/unique_file.h"
#include "app/operations/same_bytes.h"

namespace {

// As the copy's pieces: both buffers stay in the processor's cache between the read and the
// comparison, and a cancel is seen within a piece.
constexpr DWORD kComparePieceBytes = 256 << 10;

UniqueFile OpenToRead(const std::wstring& path) {
    // Sharing everything: a preview or another program may hold either file.
    return OwnedFile(CreateFileW(path.c_str(), GENERIC_READ,
                                 FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                 OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
}

// Reads until `buffer` is full or the file ends; the bytes read.
bool ReadPiece(HANDLE file, std::vector<char>& buffer, DWORD& read) {
    read = 0;
    while (read < buffer.size()) {
        DWORD got = 0;
        if (!ReadFile(file, buffer.data() + read, static_cast<DWORD>(buffer.size()) - read, &got,
                      nullptr))
            return false;
        if (got == 0)
            break;
        read += got;
    }
    return true;
}

}  // namespace

FileComparison CompareFileContents(const std::wstring& first, const std::wstring& second,
                                   const std::atomic<bool>& cancel,
                                   const TransferProgress& progress) {
    FileComparison result;
    WIN32_FILE_ATTRIBUTE_DATA a, b;
    if (!GetFileAttributesExW(first.c_str(), GetFileExInfoStandard, &a) ||
        !GetFileAttributesExW(second.c_str(), GetFileExInfoStandard, &b)) {
        result.error = LastErrorOr(ERROR_FILE_NOT_FOUND);
        return result;
    }
    if (((a.dwFileAttributes | b.dwFileAttributes) & FILE_ATTRIBUTE_DIRECTORY) ||
        a.nFileSizeHigh != b.nFileSizeHigh || a.nFileSizeLow != b.nFileSizeLow)
        return result;

    const UniqueFile one = OpenToRead(first);
    const UniqueFile two = OpenToRead(second);
    if (!one || !two) {
        result.error = LastErrorOr(ERROR_OPEN_FAILED);
        return result;
    }
    const uint64_t total = (static_cast<uint64_t>(a.nFileSizeHigh) << 32) | a.nFileSizeLow;
    uint64_t done = 0;
    int32_t lastPercent = -1;
    std::vector<char> left(kComparePieceBytes), right(kComparePieceBytes);
    for (;;) {
        if (cancel.load()) {
            result.error = ERROR_REQUEST_ABORTED;
            return result;
        }
        const int32_t percent = total ? static_cast<int32_t>(done * 100 / total) : 100;
        if (progress && percent > lastPercent)
            progress(lastPercent = percent);
        DWORD readLeft = 0, readRight = 0;
        if (!ReadPiece(one.Get(), left, readLeft) || !ReadPiece(two.Get(), right, readRight)) {
            result.error = LastErrorOr(ERROR_READ_FAULT);
            return result;
        }
        // A file that grew or shrank meanwhile is not the same.
        if (readLeft != readRight || !SameBytes(left.data(), right.data(), readLeft))
            return result;
        if (readLeft == 0)
            break;
        done += readLeft;
    }
    result.same = true;
    return result;
}
