// A copy or move onto a taken name: never a replaced file; the reason tells an identical
// file from a different one; with both kept, the first free numbered name, taken without
// replacing even when another program takes it meanwhile.
#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <vector>

#include "app/base/system_error.h"
#include "app/operations/file_comparison.h"
#include "app/operations/file_transfer.h"
#include "tests/support/process.h"
#include "tests/support/sorting_files.h"

namespace {

std::string Bytes(size_t size, char salt = 0) {
    std::string bytes(size, '\0');
    for (size_t i = 0; i < size; ++i)
        bytes[i] = static_cast<char>('a' + (i * 13 + i / 777 + salt) % 26);
    return bytes;
}

class NameClashTest : public ::testing::Test {
  protected:
    TransferResult Copy(const std::wstring& name, NameClash clash,
                        const TransferProgress& progress = nullptr) {
        return CopyWholeFile(source_ / name, target_ / name, cancel_, progress, clash);
    }
    TransferResult Move(const std::wstring& name, NameClash clash) {
        return MoveWholeFile(source_ / name, target_ / name, cancel_, nullptr, clash);
    }
    std::vector<std::wstring> Target() { return FolderListing(target_.Path()); }

    TempDirectory source_;
    TempDirectory target_;
    std::atomic<bool> cancel_{false};
};

}  // namespace

// A same-sized file one byte apart is the comparison's own case, below.
TEST_F(NameClashTest, BytesDecideTheReasonAndNothingIsWrittenEitherWay) {
    const std::string photo = Bytes(700 << 10);
    WriteFileBytes(source_ / L"same.jpg", photo);
    WriteFileBytes(target_ / L"same.jpg", photo);
    WriteFileBytes(source_ / L"size.jpg", photo);
    WriteFileBytes(target_ / L"size.jpg", photo + "x");
    WriteFileBytes(source_ / L"empty.txt", "");
    WriteFileBytes(target_ / L"empty.txt", "");

    std::vector<int32_t> seen;
    TransferResult result =
        Copy(L"same.jpg", NameClash::kFail, [&](int32_t p) { seen.push_back(p); });
    EXPECT_FALSE(result.succeeded);
    EXPECT_EQ(kSameFileReason, result.reason);
    ASSERT_FALSE(seen.empty());
    EXPECT_EQ(100, seen.back());
    EXPECT_EQ(static_cast<DWORD>(ERROR_FILE_EXISTS), result.error);
    for (const TransferResult& different :
         {Copy(L"size.jpg", NameClash::kFail), Move(L"size.jpg", NameClash::kFail)}) {
        EXPECT_EQ(kDifferentFileReason, different.reason);
        EXPECT_EQ(static_cast<DWORD>(ERROR_FILE_EXISTS), different.error);
    }
    EXPECT_EQ(kSameFileReason, Copy(L"empty.txt", NameClash::kFail).reason);
    EXPECT_EQ(kSameFileReason, Move(L"same.jpg", NameClash::kFail).reason);
    // With both kept, an identical file is still not stored twice.
    EXPECT_EQ(kSameFileReason, Copy(L"same.jpg", NameClash::kKeepBoth).reason);
    EXPECT_EQ(kSameFileReason, Move(L"same.jpg", NameClash::kKeepBoth).reason);

    EXPECT_TRUE(photo == ReadFileBytes(source_ / L"same.jpg"));
    EXPECT_TRUE(photo == ReadFileBytes(source_ / L"size.jpg"));
    EXPECT_TRUE(photo + "x" == ReadFileBytes(target_ / L"size.jpg"));
    EXPECT_EQ((std::vector<std::wstring>{L"empty.txt", L"same.jpg", L"size.jpg"}), Target());
}

TEST_F(NameClashTest, ACancelledComparisonStopsAndAFolderIsNeverTheSameFile) {
    // Compared where they are read, and with a reader thread reading ahead.
    for (const size_t size : {size_t{4} << 20, size_t{kCompareReadAheadFromBytes} + 1}) {
        WriteFileBytes(source_ / L"big.bin", Bytes(size));
        WriteFileBytes(target_ / L"big.bin", Bytes(size));
        cancel_ = false;
        const TransferResult result = Copy(L"big.bin", NameClash::kKeepBoth, [&](int32_t percent) {
            if (percent > 0)
                cancel_ = true;
        });
        EXPECT_FALSE(result.succeeded) << size;
        EXPECT_EQ(static_cast<DWORD>(ERROR_REQUEST_ABORTED), result.error) << size;
        EXPECT_EQ(std::vector<std::wstring>{L"big.bin"}, Target());
    }

    cancel_ = false;
    CreateDirectoryW((target_ / L"dir").c_str(), nullptr);
    WriteFileBytes(source_ / L"dir", "");
    EXPECT_FALSE(CompareFileContents(source_ / L"dir", target_ / L"dir", cancel_, nullptr).same);
    EXPECT_EQ(kDifferentFileReason, Copy(L"dir", NameClash::kFail).reason);
}

// Kept copies and moves under the next free number, also with a name taken meanwhile, are
// checked in the program; here the numbered copy met again, and a free name.
TEST_F(NameClashTest, AKeptCopyMetAgainUnderItsNumberIsTheSameFileAndAFreeNameStaysAsItIs) {
    WriteFileBytes(target_ / L"IMG_1.JPG", "first card");
    WriteFileBytes(source_ / L"IMG_1.JPG", "second card");
    TransferResult result = Copy(L"IMG_1.JPG", NameClash::kKeepBoth);
    ASSERT_TRUE(result.succeeded) << SystemMessage(result.error);
    EXPECT_EQ(target_ / L"IMG_1 (2).JPG", result.keptAs);
    EXPECT_EQ(kSameFileReason, Copy(L"IMG_1.JPG", NameClash::kKeepBoth).reason);

    WriteFileBytes(source_ / L"README", "r");
    result = Copy(L"README", NameClash::kKeepBoth);
    ASSERT_TRUE(result.succeeded);
    EXPECT_TRUE(result.keptAs.empty());
    EXPECT_EQ((std::vector<std::wstring>{L"IMG_1 (2).JPG", L"IMG_1.JPG", L"README"}), Target());
}

// Every number taken is the free-name walk's own case; on disk, a name that fits only without
// its number fails with the system's reason.
TEST_F(NameClashTest, ANameTooLongForItsNumberFailsWithTheSystemsReasonAndWritesNothing) {
    const std::wstring longName = std::wstring(250, L'x') + L".jpg";
    WriteFileBytes(source_ / longName, "mine");
    WriteFileBytes(target_ / longName, "theirs");
    const TransferResult result = Copy(longName, NameClash::kKeepBoth);
    EXPECT_FALSE(result.succeeded);
    EXPECT_TRUE(result.reason.empty()) << "the system's reason, not the program's";
    EXPECT_NE(static_cast<DWORD>(ERROR_SUCCESS), result.error);
    EXPECT_EQ("theirs", ReadFileBytes(target_ / longName));
    EXPECT_EQ(std::vector<std::wstring>{longName}, Target());
}

// One byte changed anywhere, in a whole block of the comparison or in the short tail after
// the last one, in the first piece the files are read in, a middle one or the last, whole or
// short, makes the files different; unchanged they are the same. The largest files are read
// ahead by a thread of their own, through its ring of pieces more than once.
TEST_F(NameClashTest, OneChangedByteAnywhereMakesTheFilesDifferent) {
    constexpr size_t kPiece = 256 << 10;
    const size_t readAhead = size_t{kCompareReadAheadFromBytes} + 3 * kPiece + 1007;
    for (const size_t size : {kPiece, 4 * kPiece, 5 * kPiece + 1007, readAhead}) {
        const std::string bytes = Bytes(size);
        const std::wstring first = source_ / L"a", second = target_ / L"a";
        ASSERT_TRUE(WriteFileBytes(first, bytes));
        ASSERT_TRUE(WriteFileBytes(second, bytes));
        EXPECT_TRUE(CompareFileContents(first, second, cancel_, {}).same) << size;
        const size_t lastPiece = (size - 1) / kPiece * kPiece;
        for (const size_t at : {size_t{0}, size_t{255}, size_t{256}, size_t{300}, kPiece - 1,
                                size / kPiece / 2 * kPiece + 5, lastPiece, size - 7, size - 1}) {
            std::string changed = bytes;
            changed[at] ^= 0x40;
            ASSERT_TRUE(WriteFileBytes(second, changed));
            EXPECT_FALSE(CompareFileContents(first, second, cancel_, {}).same) << size << " " << at;
        }
    }
}

// A comparer that never waits for the reader ahead takes over the reading after a few pieces,
// as it does on a machine with no processor free: the pieces read before the reader started,
// those it read and the rest from where it stopped are all compared.
TEST_F(NameClashTest, AComparerTakingOverTheReadingStillComparesEveryPiece) {
    constexpr size_t kPiece = 256 << 10;
    const size_t size = size_t{kCompareReadAheadFromBytes} + 1007;
    const std::string bytes = Bytes(size);
    ASSERT_TRUE(WriteFileBytes(source_ / L"a", bytes));
    ASSERT_TRUE(WriteFileBytes(target_ / L"a", bytes));
    EXPECT_TRUE(CompareFileContents(source_ / L"a", target_ / L"a", cancel_, {}, 0).same);
    for (size_t piece = 0; piece * kPiece < size; ++piece) {
        std::string changed = bytes;
        changed[piece * kPiece + 99] ^= 1;
        ASSERT_TRUE(WriteFileBytes(target_ / L"a", changed));
        EXPECT_FALSE(CompareFileContents(source_ / L"a", target_ / L"a", cancel_, {}, 0).same)
            << piece;
    }
}
