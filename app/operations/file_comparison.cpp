#include "app/operations/file_comparison.h"

#include <cstdint>
#include <cstring>
#include <vector>

#include "app/base/unique_file.h"

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

// Whether two pieces hold the same bytes. Blocks of 256 bytes, each folded into one word
// without a branch, so the compiler can use wide registers: the C runtime's memcmp under
// Wine compares a byte at a time, which cost half again the reading itself.
bool SameBytes(const char* a, const char* b, size_t count) {
    constexpr size_t kWords = 32;
    size_t at = 0;
    for (; at + kWords * 8 <= count; at += kWords * 8) {
        uint64_t x[kWords], y[kWords];
        std::memcpy(x, a + at, sizeof x);
        std::memcpy(y, b + at, sizeof y);
        uint64_t difference = 0;
        for (size_t word = 0; word < kWords; ++word)
            difference |= x[word] ^ y[word];
        if (difference != 0)
            return false;
    }
    for (; at < count; ++at)
        if (a[at] != b[at])
            return false;
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
