// Copies and moves of whole files: the temporary name, nothing ever replaced, nothing
// left behind by a failure, the file always in exactly one place.
#include <gtest/gtest.h>

#include <atomic>
#include <iterator>
#include <string>
#include <vector>

#include "app/file_transfer.h"
#include "tests/support/process.h"
#include "tests/support/sorting_files.h"

namespace {

std::string Bytes(size_t size) {
    std::string bytes(size, '\0');
    for (size_t i = 0; i < size; ++i)
        bytes[i] = static_cast<char>('a' + (i * 7 + i / 1000) % 26);
    return bytes;
}

class FileTransferTest : public ::testing::Test {
  protected:
    TransferResult Copy(const std::wstring& name, const TransferProgress& progress = nullptr) {
        return CopyWholeFile(source_ / name, target_ / name, cancel_, progress);
    }
    TransferResult Move(const std::wstring& name) {
        return MoveWholeFile(source_ / name, target_ / name, cancel_, nullptr);
    }

    TempDirectory source_;
    TempDirectory target_;
    std::atomic<bool> cancel_{false};
};

}  // namespace

TEST_F(FileTransferTest, FilesOfEverySizeArriveWholeWithRisingProgressAndTheSourcesTimeAndFlags) {
    // Empty, one byte, and sizes on either side of the pieces a copy may be made in.
    const size_t k = 1024;
    const size_t sizes[] = {0,       1,           64 * k - 1,   64 * k,      256 * k - 1,
                            256 * k, 256 * k + 1, 1024 * k + 7, 5120 * k + 3};
    for (const size_t size : sizes) {
        const std::wstring name = L"f" + std::to_wstring(size) + L".bin";
        const std::string content = Bytes(size);
        WriteFileBytes(source_ / name, content);
        SetFileAttributesW((source_ / name).c_str(), FILE_ATTRIBUTE_READONLY);
        std::vector<int32_t> seen;
        const TransferResult result = Copy(name, [&](int32_t percent) {
            seen.push_back(percent);
            // While bytes are still coming, the final name does not exist yet.
            if (percent < 100) {
                EXPECT_FALSE(FileExists(target_ / name)) << size;
            }
        });
        ASSERT_TRUE(result.succeeded) << size << ": " << SystemMessage(result.error);
        EXPECT_TRUE(result.copied);
        EXPECT_TRUE(content == ReadFileBytes(target_ / name)) << size;
        ASSERT_FALSE(seen.empty()) << size;
        EXPECT_EQ(100, seen.back()) << size;
        for (size_t i = 1; i < seen.size(); ++i)
            EXPECT_LT(seen[i - 1], seen[i]) << size;
        WIN32_FILE_ATTRIBUTE_DATA from;
        WIN32_FILE_ATTRIBUTE_DATA to;
        ASSERT_TRUE(GetFileAttributesExW((source_ / name).c_str(), GetFileExInfoStandard, &from));
        ASSERT_TRUE(GetFileAttributesExW((target_ / name).c_str(), GetFileExInfoStandard, &to));
        EXPECT_EQ(0, CompareFileTime(&from.ftLastWriteTime, &to.ftLastWriteTime)) << size;
        EXPECT_EQ(0, CompareFileTime(&to.ftLastWriteTime, &result.lastWrite)) << size;
        EXPECT_TRUE(to.dwFileAttributes & FILE_ATTRIBUTE_READONLY) << size;
        EXPECT_EQ(size, result.size);
        for (const TempDirectory* folder : {&source_, &target_})
            SetFileAttributesW((*folder / name).c_str(), FILE_ATTRIBUTE_NORMAL);
    }
    EXPECT_EQ(std::size(sizes), FolderListing(target_.Path()).size()) << "a temporary file stayed";
}

TEST_F(FileTransferTest, ATakenNameOrAMissingFolderFailsBeforeAnyByteWithTheSystemsReason) {
    WriteFileBytes(source_ / L"a.txt", "new");
    WriteFileBytes(target_ / L"a.txt", "precious");
    bool progressed = false;
    TransferResult result = Copy(L"a.txt", [&](int32_t) { progressed = true; });
    EXPECT_FALSE(result.succeeded);
    EXPECT_EQ(static_cast<DWORD>(ERROR_FILE_EXISTS), result.error);
    EXPECT_FALSE(progressed);
    EXPECT_EQ("precious", ReadFileBytes(target_ / L"a.txt"));
    EXPECT_EQ(std::vector<std::wstring>{L"a.txt"}, FolderListing(target_.Path()));

    result = Move(L"a.txt");
    EXPECT_EQ(static_cast<DWORD>(ERROR_FILE_EXISTS), result.error);
    EXPECT_EQ("new", ReadFileBytes(source_ / L"a.txt"));

    result = CopyWholeFile(source_ / L"a.txt", target_ / L"missing\\a.txt", cancel_, nullptr);
    EXPECT_FALSE(result.succeeded);
    EXPECT_EQ(static_cast<DWORD>(ERROR_PATH_NOT_FOUND), result.error);
    // The reason is the system's own sentence, not a number.
    const std::wstring reason = SystemMessage(result.error);
    EXPECT_FALSE(reason.empty());
    EXPECT_NE(std::to_wstring(result.error), reason);
    EXPECT_NE(L'\n', reason.back());
}

TEST_F(FileTransferTest, ACancelledCopyOrANameThatAppearsMeanwhileLeavesNothingOfTheCopy) {
    WriteFileBytes(source_ / L"big.bin", Bytes(8 << 20));
    TransferResult result = Copy(L"big.bin", [&](int32_t percent) {
        if (percent > 0)
            cancel_ = true;
    });
    EXPECT_FALSE(result.succeeded);
    EXPECT_EQ(static_cast<DWORD>(ERROR_REQUEST_ABORTED), result.error);
    EXPECT_TRUE(FolderListing(target_.Path()).empty());

    // Another program writes the same name while the copy runs: its file stays untouched.
    cancel_ = false;
    result = Copy(L"big.bin", [&](int32_t percent) {
        if (percent > 0 && !FileExists(target_ / L"big.bin"))
            WriteFileBytes(target_ / L"big.bin", "theirs");
    });
    EXPECT_FALSE(result.succeeded);
    EXPECT_TRUE(ReadFileBytes(target_ / L"big.bin") == "theirs");
    EXPECT_EQ(std::vector<std::wstring>{L"big.bin"}, FolderListing(target_.Path()));
}

TEST_F(FileTransferTest, NamesEndingInADotOrOutsideCodePage936AreCopiedExactlyAnyCodePage) {
    for (const wchar_t* name : {L"trailing.", L"caf\u00e9 \U0001F600.mp3"}) {
        ASSERT_TRUE(WriteFileBytes(L"\\\\?\\" + (source_ / name), "exact"));
        const TransferResult result = Copy(name);
        EXPECT_TRUE(result.succeeded) << SystemMessage(result.error);
        EXPECT_EQ("exact", ReadFileBytes(L"\\\\?\\" + (target_ / name)));
    }
}

TEST_F(FileTransferTest, AMoveOnOneVolumeIsARenameAndAHeldSourceStaysInPlace) {
    WriteFileBytes(source_ / L"clip.mp4", "video");
    TransferResult result = Move(L"clip.mp4");
    ASSERT_TRUE(result.succeeded) << SystemMessage(result.error);
    EXPECT_FALSE(result.copied);
    EXPECT_FALSE(FileExists(source_ / L"clip.mp4"));
    EXPECT_EQ("video", ReadFileBytes(target_ / L"clip.mp4"));
    // Moving it a second time finds nothing to move.
    EXPECT_FALSE(Move(L"clip.mp4").succeeded);

    // A file another program holds open without delete sharing cannot be moved.
    WriteFileBytes(source_ / L"held.mp4", "held");
    const HANDLE held =
        CreateFileW((source_ / L"held.mp4").c_str(), GENERIC_READ,
                    FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, held);
    result = Move(L"held.mp4");
    CloseHandle(held);
    EXPECT_FALSE(result.succeeded);
    EXPECT_EQ("held", ReadFileBytes(source_ / L"held.mp4"));
    EXPECT_FALSE(FileExists(target_ / L"held.mp4"));
}

TEST_F(FileTransferTest, ACopyIsRecycledOnlyWhileUnchanged) {
    WriteFileBytes(source_ / L"a.txt", "copy me");
    const TransferResult copied = Copy(L"a.txt");
    ASSERT_TRUE(copied.succeeded);

    // Changed since the copy (size, then only the time): refused, nothing changes.
    WriteFileBytes(target_ / L"a.txt", "changed!");
    EXPECT_FALSE(RecycleUnchangedFile(target_ / L"a.txt", copied.size, copied.lastWrite).succeeded);
    WriteFileBytes(target_ / L"a.txt", "copy me");
    FILETIME later = copied.lastWrite;
    later.dwHighDateTime += 1;
    const HANDLE file = CreateFileW((target_ / L"a.txt").c_str(), FILE_WRITE_ATTRIBUTES, 0, nullptr,
                                    OPEN_EXISTING, 0, nullptr);
    SetFileTime(file, nullptr, nullptr, &later);
    CloseHandle(file);
    EXPECT_FALSE(RecycleUnchangedFile(target_ / L"a.txt", copied.size, copied.lastWrite).succeeded);
    EXPECT_EQ("copy me", ReadFileBytes(target_ / L"a.txt"));

    const TransferResult unchanged = RecycleUnchangedFile(target_ / L"a.txt", copied.size, later);
    EXPECT_TRUE(unchanged.succeeded) << SystemMessage(unchanged.error);
    EXPECT_FALSE(FileExists(target_ / L"a.txt"));
    EXPECT_EQ("copy me", ReadFileBytes(source_ / L"a.txt"));
    EXPECT_FALSE(RecycleUnchangedFile(target_ / L"a.txt", copied.size, later).succeeded);
}

// The shell takes no "\\?\" path, and the plain path drops a last dot or blank: a copy
// goes to the Recycle Bin only when its plain path names the very file the copy made.
TEST_F(FileTransferTest, ACopyWhosePlainPathNamesAnotherFileIsNotRecycled) {
    WriteFileBytes(target_ / L"a", "mine");
    for (const wchar_t* name : {L"a.", L"a "}) {
        ASSERT_TRUE(WriteFileBytes(L"\\\\?\\" + (source_ / name), "copy"));
        const TransferResult copied = Copy(name);
        ASSERT_TRUE(copied.succeeded) << SystemMessage(copied.error);
        const TransferResult undone =
            RecycleUnchangedFile(target_ / name, copied.size, copied.lastWrite);
        EXPECT_EQ(L"无法放入回收站：文件名以点或空格结尾", undone.reason);
        EXPECT_EQ("copy", ReadFileBytes(L"\\\\?\\" + (target_ / name)));
    }
    EXPECT_EQ("mine", ReadFileBytes(target_ / L"a"));

    // The plain path leads to the folder without the dot, to a file of the same size and time.
    const std::wstring dotted = L"\\\\?\\" + (target_ / L"sub.");
    ASSERT_TRUE(CreateDirectoryW(dotted.c_str(), nullptr));
    ASSERT_TRUE(CreateDirectoryW((target_ / L"sub").c_str(), nullptr));
    WriteFileBytes(source_ / L"x.txt", "same");
    TransferResult copied;
    for (const std::wstring& copy : {target_ / L"sub\\x.txt", dotted + L"\\x.txt"}) {
        copied = CopyWholeFile(source_ / L"x.txt", copy, cancel_, nullptr);
        ASSERT_TRUE(copied.succeeded) << copy;
    }
    const TransferResult undone =
        RecycleUnchangedFile(dotted + L"\\x.txt", copied.size, copied.lastWrite);
    EXPECT_EQ(L"文件已被修改或替换", undone.reason);
    EXPECT_TRUE(FileExists(dotted + L"\\x.txt"));
    EXPECT_EQ("same", ReadFileBytes(target_ / L"sub\\x.txt"));
}

TEST(PartialFileNameTest, OnlyTheTemporaryEndingCounts) {
    EXPECT_TRUE(IsPartialFileName(L"clip.mp4.1a2b3c4d.zemo-part"));
    EXPECT_TRUE(IsPartialFileName(L"C:\\x\\CLIP.MP4.1A2B.ZEMO-PART"));
    EXPECT_FALSE(IsPartialFileName(L"clip.zemo-part.mp4"));
    EXPECT_FALSE(IsPartialFileName(L"zemo-part"));
}
