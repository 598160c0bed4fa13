// Copies and moves of whole files: the temporary name, nothing ever replaced, nothing
// left behind by a failure, the file always in exactly one place.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cwchar>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "app/operations/file_identity.h"
#include "app/operations/file_transfer.h"
#include "app/base/system_error.h"
#include "tests/support/process.h"
#include "tests/support/sorting_files.h"
#include "ui/unique_handle.h"

namespace {

std::string Bytes(size_t size) {
    std::string bytes(size, '\0');
    for (size_t i = 0; i < size; ++i)
        bytes[i] = static_cast<char>('a' + (i * 7 + i / 1000) % 26);
    return bytes;
}

// The temporary name copies of process `id` are written under.
std::wstring PartialNameOf(DWORD id) {
    wchar_t name[32];
    swprintf(name, 32, L".~zemo-%08lx.zemo-part", static_cast<unsigned long>(id));
    return name;
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

// A taken name is the name-clash test's.
TEST_F(FileTransferTest, AMissingFolderFailsBeforeAnyByteWithTheSystemsReason) {
    WriteFileBytes(source_ / L"a.txt", "new");
    const TransferResult result =
        CopyWholeFile(source_ / L"a.txt", target_ / L"missing\\a.txt", cancel_, nullptr);
    EXPECT_FALSE(result.succeeded);
    EXPECT_EQ(static_cast<DWORD>(ERROR_PATH_NOT_FOUND), result.error);
    EXPECT_EQ(std::vector<std::wstring>{}, FolderListing(target_.Path()));
}

TEST(SystemMessageTest, EndsWithoutBreakOrStopAndNamesTheCodeWhenTheSystemHasNoText) {
    for (const DWORD error : {ERROR_ACCESS_DENIED, ERROR_SHARING_VIOLATION, ERROR_DISK_FULL}) {
        const std::wstring text = SystemMessage(error);
        ASSERT_FALSE(text.empty()) << error;
        EXPECT_EQ(std::wstring::npos, std::wstring(L"\r\n .").find(text.back())) << error;
    }
    // A customer-defined code has no system text.
    EXPECT_EQ(L"错误代码 536875572", SystemMessage(0x20001234));
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

TEST_F(FileTransferTest, ANameAsLongAsTheFolderTakesIsCopiedUnderAShortNameOfThisProcess) {
    const std::wstring name = std::wstring(251, L'n') + L".jpg";
    WriteFileBytes(source_ / name, Bytes(300 << 10));
    // Left by an earlier copy of this process whose removal failed: it blocks nothing.
    WriteFileBytes(target_ / PartialNameOf(GetCurrentProcessId()), "left");
    std::vector<std::wstring> whileCopying;
    const TransferResult result = Copy(name, [&](int32_t percent) {
        if (percent < 100)
            whileCopying = FolderListing(target_.Path());
    });
    ASSERT_TRUE(result.succeeded) << SystemMessage(result.error);
    EXPECT_EQ(std::vector<std::wstring>{PartialNameOf(GetCurrentProcessId())}, whileCopying);
    EXPECT_EQ(std::vector<std::wstring>{name}, FolderListing(target_.Path()));
    EXPECT_TRUE(Bytes(300 << 10) == ReadFileBytes(target_ / name));
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
    EXPECT_TRUE(IsPartialFileName(L".~zemo-00001a2b.zemo-part"));
    EXPECT_TRUE(IsPartialFileName(L"C:\\x\\CLIP.MP4.1A2B.ZEMO-PART"));
    EXPECT_FALSE(IsPartialFileName(L"clip.zemo-part.mp4"));
    EXPECT_FALSE(IsPartialFileName(L"zemo-part"));
}

namespace {

// Makes each call a move across volumes makes on a file, and records it with the file it
// was made on; refuses the delete when told to.
class RecordingCalls : public TransferFileCalls {
  public:
    explicit RecordingCalls(const std::wstring& source) { ReadFileIdentity(source, source_); }
    bool Flush(HANDLE file) override {
        record.push_back(L"flush " + Which(file));
        return TransferFileCalls::Flush(file);
    }
    bool SetAttributes(HANDLE file, DWORD attributes) override {
        const bool readOnly = attributes & FILE_ATTRIBUTE_READONLY;
        record.push_back((readOnly ? L"read-only " : L"writable ") + Which(file));
        return TransferFileCalls::SetAttributes(file, attributes);
    }
    bool Delete(HANDLE file) override {
        record.push_back(L"delete " + Which(file));
        if (!refuseDelete)
            return TransferFileCalls::Delete(file);
        SetLastError(ERROR_SHARING_VIOLATION);
        return false;
    }

    std::vector<std::wstring> record;
    bool refuseDelete = false;

  private:
    std::wstring Which(HANDLE file) const {
        FileIdentity identity;
        return ReadFileIdentity(file, identity) && identity.SameFile(source_) ? L"source" : L"copy";
    }
    FileIdentity source_;
};

// Moves from %TEMP% to a folder on the 1 MB volume scripts/test.sh mounts, another volume
// to the system: each move is a copy and a delete.
class MoveAcrossVolumesTest : public ::testing::Test {
  protected:
    void SetUp() override {
        wchar_t volume[MAX_PATH] = {};
        if (!GetEnvironmentVariableW(L"ZEMO_TEST_SMALL_VOLUME", volume, MAX_PATH))
            GTEST_SKIP() << "no second volume: scripts/test.sh sets ZEMO_TEST_SMALL_VOLUME";
        target_ = std::wstring(volume) + L"\\move-test-" + std::to_wstring(GetCurrentProcessId());
        ASSERT_TRUE(CreateDirectoryW(target_.c_str(), nullptr));
    }
    void TearDown() override {
        if (target_.empty())
            return;
        for (const std::wstring& name : FolderListing(target_)) {
            const std::wstring path = L"\\\\?\\" + (target_ + L"\\" + name);
            SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
            DeleteFileW(path.c_str());
        }
        RemoveDirectoryW(target_.c_str());
    }
    TransferResult Move(const std::wstring& name, const TransferProgress& progress = nullptr,
                        TransferFileCalls* calls = nullptr) {
        return MoveWholeFile(source_ / name, target_ + L"\\" + name, cancel_, progress,
                             calls ? *calls : system_);
    }
    bool ReadOnly(const std::wstring& path) {
        const DWORD attributes = GetFileAttributesW(path.c_str());
        return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY);
    }

    TempDirectory source_;
    std::wstring target_;
    std::atomic<bool> cancel_{false};
    TransferFileCalls system_;
};

}  // namespace

TEST_F(MoveAcrossVolumesTest, ASourceSavedAnewDuringTheMoveStaysAndNothingArrives) {
    const std::string old = Bytes(600 << 10);
    WriteFileBytes(source_ / L"report.docx", old);
    // Another program saves safely while the copy runs: the old file becomes the backup,
    // the new version is written under the name.
    bool saved = false;
    const TransferResult result = Move(L"report.docx", [&](int32_t) {
        if (!saved)
            saved = MoveFileW((source_ / L"report.docx").c_str(),
                              (source_ / L"report.docx.bak").c_str()) &&
                    WriteFileBytes(source_ / L"report.docx", "new version");
    });
    ASSERT_TRUE(saved);
    EXPECT_FALSE(result.succeeded);
    EXPECT_EQ(L"源文件在移动过程中被修改", result.reason);
    EXPECT_EQ("new version", ReadFileBytes(source_ / L"report.docx"));
    EXPECT_TRUE(old == ReadFileBytes(source_ / L"report.docx.bak"));
    EXPECT_EQ(std::vector<std::wstring>{}, FolderListing(target_));
}

TEST_F(MoveAcrossVolumesTest, ALongOrReadOnlyNameMovesAndARefusedDeleteLeavesItAsItWas) {
    const std::wstring longName = std::wstring(251, L'n') + L".jpg";
    for (const std::wstring& name : {longName, std::wstring(L"photo.jpg")}) {
        WriteFileBytes(source_ / name, "photo");
        SetFileAttributesW((source_ / name).c_str(), FILE_ATTRIBUTE_READONLY);
        const TransferResult result = Move(name);
        ASSERT_TRUE(result.succeeded) << SystemMessage(result.error);
        EXPECT_TRUE(result.copied);
        EXPECT_FALSE(FileExists(source_ / name));
        EXPECT_EQ("photo", ReadFileBytes(target_ + L"\\" + name));
        EXPECT_TRUE(ReadOnly(target_ + L"\\" + name));
    }
    EXPECT_EQ(2u, FolderListing(target_).size());

    // The copy is on the disk before it is made read-only, and both before the source goes.
    WriteFileBytes(source_ / L"card.jpg", "card");
    SetFileAttributesW((source_ / L"card.jpg").c_str(), FILE_ATTRIBUTE_READONLY);
    RecordingCalls calls(source_ / L"card.jpg");
    calls.refuseDelete = true;
    const TransferResult refused = Move(L"card.jpg", nullptr, &calls);
    EXPECT_EQ((std::vector<std::wstring>{L"flush copy", L"read-only copy", L"writable source",
                                         L"delete source", L"read-only source"}),
              calls.record);
    EXPECT_FALSE(refused.succeeded);
    EXPECT_EQ(static_cast<DWORD>(ERROR_SHARING_VIOLATION), refused.error);
    EXPECT_EQ("card", ReadFileBytes(source_ / L"card.jpg"));
    EXPECT_TRUE(ReadOnly(source_ / L"card.jpg"));
    EXPECT_EQ(2u, FolderListing(target_).size());
}

TEST(LeftoverPartialFilesTest, OnlyThoseOfEndedCopiesGoNeverAFileInUse) {
    const TempDirectory folder;
    // A process that runs, other than this one.
    WriteFileBytes(folder / L"held", "");
    TestProcess running(ProgramPath(L"hold_file.exe"),
                        L"\"" + (folder / L"held") + L"\" \"" + (folder / L"marker") + L"\"");
    ASSERT_TRUE(WaitUntil([&] { return FileExists(folder / L"marker"); }));
    const std::wstring ended = PartialNameOf(0x7ffffffc);  // no process has this id
    const std::wstring ours = PartialNameOf(GetCurrentProcessId());
    const std::wstring theirs = PartialNameOf(running.Id());
    for (const std::wstring& name : {ended, ours, theirs, std::wstring(L"a.mp4.0badf00d.zemo-part"),
                                     std::wstring(L"b.mp4.1a2b3c4d.zemo-part"),
                                     std::wstring(L"notes.zemo-part"), std::wstring(L"a.mp4")})
        WriteFileBytes(folder / name, "x");
    SetFileAttributesW((folder / ended).c_str(), FILE_ATTRIBUTE_READONLY);
    // An old-form name some program has open, however it shares it, is in use.
    UniqueKernelHandle open(CreateFileW((folder / L"b.mp4.1a2b3c4d.zemo-part").c_str(),
                                        GENERIC_READ,
                                        FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                        nullptr, OPEN_EXISTING, 0, nullptr));
    ASSERT_NE(INVALID_HANDLE_VALUE, open.Get());

    RemoveLeftoverPartialFiles(folder.Path());
    open.Reset();
    running.Terminate();
    running.WaitForExit();
    std::vector<std::wstring> left = FolderListing(folder.Path());
    std::sort(left.begin(), left.end());
    std::vector<std::wstring> expected = {theirs,  L"a.mp4",  L"b.mp4.1a2b3c4d.zemo-part",
                                          L"held", L"marker", L"notes.zemo-part"};
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(expected, left);
}
