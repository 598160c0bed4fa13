#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <string>
#include <vector>

#include "app/files/file_enumeration.h"
#include "tests/support/process.h"

namespace {

struct Listing {
    std::vector<std::wstring> names;
    std::vector<int32_t> batchSizes;
    int lastBatches = 0;
    DWORD error = ERROR_SUCCESS;  // the last batch's
};

Listing List(const std::wstring& directory, const BatchSizes& sizes = BatchSizes()) {
    Listing listing;
    const std::atomic<bool> cancelled{false};
    ListFilesInBatches(directory, cancelled, sizes, [&](FileNameBatch&& batch) {
        EXPECT_EQ(0, listing.lastBatches) << "a batch after the last one";
        batch.ForEach([&](std::wstring_view name) { listing.names.emplace_back(name); });
        listing.batchSizes.push_back(batch.count);
        listing.lastBatches += batch.last ? 1 : 0;
        listing.error = batch.error;
        return true;
    });
    return listing;
}

class ListFilesTest : public ::testing::Test {
  protected:
    void SetUp() override {
        // A copy's temporary file, of either form, is never listed.
        for (const wchar_t* name :
             {L"a.txt", L"b.mp4", L"c", L"d.mp4.1a2b3c4d.zemo-part", L".~zemo-00001a2b.zemo-part"})
            WriteFileBytes(dir_ / name, "x");
        for (const wchar_t* name : {L"sub1", L"sub2.d"}) {
            CreateDirectoryW((dir_ / name).c_str(), nullptr);
            WriteFileBytes(dir_ / name + L"\\inner.txt", "y");
        }
    }
    TempDirectory dir_;
};

}  // namespace

TEST_F(ListFilesTest,
       OnlyTheFilesDirectlyInsideWithTheirExactNamesAndTheSystemsErrorForAMissingOneAnyCodePage) {
    const std::wstring unicode = L"e\U0001F600\ud55c.mp3";  // outside code page 936
    WriteFileBytes(dir_ / unicode, "x");
    for (const std::wstring& directory : {dir_.Path(), dir_.Path() + L"\\"}) {
        Listing listing = List(directory);
        std::sort(listing.names.begin(), listing.names.end());
        EXPECT_EQ((std::vector<std::wstring>{L"a.txt", L"b.mp4", L"c", unicode}), listing.names);
        EXPECT_EQ(1, listing.lastBatches);
        EXPECT_EQ(ERROR_SUCCESS, listing.error);
    }
    // A folder gone since it was checked, or a name that is a file: one empty last batch
    // that carries the system's reason.
    for (const std::wstring& unreadable : {dir_ / L"missing", dir_ / L"a.txt"}) {
        const Listing failed = List(unreadable);
        EXPECT_EQ(std::vector<int32_t>{0}, failed.batchSizes) << unreadable;
        EXPECT_EQ(1, failed.lastBatches) << unreadable;
        EXPECT_NE(ERROR_SUCCESS, failed.error) << unreadable;
    }
}

TEST_F(ListFilesTest, BatchesKeepTheFileSystemsOrderSmallFirstThenLarge) {
    for (int i = 0; i < 40; ++i)
        WriteFileBytes(dir_ / (L"n" + std::to_wstring(i)), "");
    const Listing whole = List(dir_.Path(), BatchSizes{1000, 1000, 60000});
    ASSERT_EQ(std::vector<int32_t>{43}, whole.batchSizes);

    const Listing batched = List(dir_.Path(), BatchSizes{2, 10, 60000});
    EXPECT_EQ(whole.names, batched.names);
    EXPECT_EQ((std::vector<int32_t>{2, 10, 10, 10, 10, 1}), batched.batchSizes);
}

TEST_F(ListFilesTest, CancellingOrARefusedBatchStopsWithoutALastBatch) {
    for (const bool byCancelling : {true, false}) {
        std::atomic<bool> cancelled{false};
        int batches = 0;
        ListFilesInBatches(dir_.Path(), cancelled, BatchSizes{1, 1, 60000}, [&](FileNameBatch&&) {
            ++batches;
            cancelled = byCancelling;
            return byCancelling;  // refusing when not cancelling
        });
        EXPECT_EQ(1, batches) << byCancelling;
    }
}
