// The metadata reader's bytes read straight from a file.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "app/base/unique_file.h"
#include "app/preview/file_byte_source.h"
#include "tests/support/process.h"
#include "tests/support/sorting_files.h"

namespace {

std::string Counting(size_t count) {
    std::string bytes(count, '\0');
    for (size_t i = 0; i < count; ++i)
        bytes[i] = static_cast<char>(i % 251);
    return bytes;
}

std::string ReadAt(FileByteSource& source, uint64_t offset, size_t length) {
    std::string out(length, '\0');
    return source.Read(offset, length, reinterpret_cast<uint8_t*>(out.data())) ? out : "failed";
}

}  // namespace

TEST(FileByteSource, ReadsAtAnyOffsetInAnyOrderAndFailsPastTheEnd) {
    TempDirectory dir;
    const std::string bytes = Counting(1000);
    ASSERT_TRUE(WriteFileBytes(dir / L"photo.jpg", bytes));
    FileByteSource source(dir / L"photo.jpg");
    ASSERT_TRUE(source.IsOpen());
    EXPECT_EQ(1000u, source.Size());
    EXPECT_EQ(bytes.substr(500, 4), ReadAt(source, 500, 4));
    EXPECT_EQ(bytes.substr(10, 3), ReadAt(source, 10, 3)) << "an earlier offset after a later one";
    EXPECT_EQ(bytes.substr(997, 3), ReadAt(source, 997, 3));
    EXPECT_EQ("failed", ReadAt(source, 998, 3));
    EXPECT_EQ("failed", ReadAt(source, 5000, 1));

    FileByteSource missing(dir / L"missing.jpg");
    EXPECT_FALSE(missing.IsOpen());
    EXPECT_EQ(0u, missing.Size());
    EXPECT_EQ("failed", ReadAt(missing, 0, 1));
}

TEST(FileByteSource, ReadsBeyondFourGigabytes) {
    TempDirectory dir;
    const std::wstring path = dir / L"large.nef";
    const uint64_t beyond = (5ULL << 30) + 3;  // past what the low 32 bits of an offset reach
    ASSERT_TRUE(CreateLargeFile(path, beyond + 16));
    {
        UniqueFile output = OwnedFile(
            CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr));
        ASSERT_TRUE(output);
        LARGE_INTEGER at;
        at.QuadPart = static_cast<LONGLONG>(beyond);
        DWORD written = 0;
        ASSERT_TRUE(SetFilePointerEx(output.Get(), at, nullptr, FILE_BEGIN));
        ASSERT_TRUE(WriteFile(output.Get(), "MM\0*", 4, &written, nullptr));
    }
    FileByteSource source(path);
    EXPECT_EQ(beyond + 16, source.Size());
    EXPECT_EQ(std::string("MM\0*", 4), ReadAt(source, beyond, 4));
    EXPECT_EQ(std::string(4, '\0'), ReadAt(source, beyond - 4, 4));
}

TEST(FileByteSource, LeavesTheFileFreeToBeChangedRenamedAndDeleted) {
    TempDirectory dir;
    const std::wstring path = dir / L"held.jpg";
    ASSERT_TRUE(WriteFileBytes(path, Counting(100)));
    FileByteSource source(path);
    ASSERT_TRUE(source.IsOpen());
    {
        UniqueFile writer = OwnedFile(CreateFileW(
            path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
            nullptr, OPEN_EXISTING, 0, nullptr));
        ASSERT_TRUE(writer);
        DWORD written = 0;
        ASSERT_TRUE(WriteFile(writer.Get(), "xy", 2, &written, nullptr));
    }
    EXPECT_EQ("xy", ReadAt(source, 0, 2));
    EXPECT_TRUE(MoveFileW(path.c_str(), (dir / L"moved.jpg").c_str()));
    EXPECT_EQ(Counting(100).substr(50, 2), ReadAt(source, 50, 2));
    EXPECT_TRUE(DeleteFileW((dir / L"moved.jpg").c_str()));
}
