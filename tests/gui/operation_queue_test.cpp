// The worker and its queue, talking to the test's thread by the road to the UI thread: order,
// progress, the release request answered before a move, cancelling and dropping, undo.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "app/operations/operation_queue.h"
#include "app/base/ui_thread.h"
#include "tests/support/process.h"
#include "tests/support/sorting_files.h"
#include "tests/support/wait.h"

namespace {

// What the UI thread heard from the worker.
struct Heard {
    std::vector<int32_t> percents;
    int finishedPosts = 0;
    std::vector<std::wstring> released;
    std::vector<bool> sourceThereWhenReleased;
    std::function<void()> onProgress;
};

class OperationQueueTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(StartUiTasks());
        OperationReports reports{receiver_.Route(),
                                 [this](uint32_t, int32_t percent) {
                                     heard_.percents.push_back(percent);
                                     if (heard_.onProgress)
                                         heard_.onProgress();
                                 },
                                 [this] { ++heard_.finishedPosts; },
                                 [this](const std::wstring& path) {
                                     heard_.released.push_back(path);
                                     heard_.sourceThereWhenReleased.push_back(FileExists(path));
                                 }};
        queue_ = std::make_unique<OperationQueue>(
            std::move(reports), [this](const FinishedOperation& finished) {
                // On the worker: the record is made before the UI hears of the end.
                std::lock_guard<std::mutex> lock(recordedMutex_);
                recorded_.push_back(finished.id);
            });
    }
    void TearDown() override {
        queue_.reset();
        StopUiTasks();
    }

    uint32_t Queue(OperationKind kind, const std::wstring& name, intptr_t tag = 0) {
        Operation operation;
        operation.kind = kind;
        operation.source = source_ / name;
        operation.destination = target_ / name;
        operation.tag = tag;
        return queue_->Enqueue(operation);
    }
    // Waits until `count` operations have ended, collecting them in order.
    bool WaitForFinished(size_t count) {
        return WaitUntil([&] {
            for (FinishedOperation& finished : queue_->TakeFinished())
                finished_.push_back(std::move(finished));
            return finished_.size() >= count;
        });
    }

    TempDirectory source_;
    TempDirectory target_;
    Heard heard_;
    UiReceiver receiver_;
    std::unique_ptr<OperationQueue> queue_;
    std::vector<FinishedOperation> finished_;
    std::mutex recordedMutex_;
    std::vector<uint32_t> recorded_;
};

}  // namespace

TEST_F(OperationQueueTest, OperationsRunInTheOrderQueuedAndUndoRefusesToReplaceAFile) {
    ASSERT_TRUE(CreateLargeFile(source_ / L"big.bin", 6 << 20));
    WriteFileBytes(source_ / L"a.txt", "a");
    WriteFileBytes(source_ / L"blocked.txt", "b");
    // A copy of the big file, then two moves of the same small file: the second finds
    // nothing to move, exactly as if each had run alone after the one before.
    const std::vector<uint32_t> ids = {
        Queue(OperationKind::kCopy, L"big.bin", 10), Queue(OperationKind::kMove, L"a.txt", 11),
        Queue(OperationKind::kMove, L"a.txt", 12), Queue(OperationKind::kMove, L"blocked.txt")};
    EXPECT_GE(queue_->PendingCount(), 2);
    ASSERT_TRUE(WaitForFinished(4));
    EXPECT_EQ(0, queue_->PendingCount());

    std::vector<uint32_t> finishedIds;
    for (const FinishedOperation& finished : finished_)
        finishedIds.push_back(finished.id);
    EXPECT_EQ(ids, finishedIds);
    EXPECT_EQ(10, finished_[0].operation.tag);
    for (const size_t succeeded : {0, 1, 3})
        EXPECT_EQ(OperationOutcome::kSucceeded, finished_[succeeded].outcome) << succeeded;
    EXPECT_EQ(OperationOutcome::kFailed, finished_[2].outcome);
    EXPECT_FALSE(finished_[2].reason.empty());
    EXPECT_TRUE(finished_[0].reason.empty());
    {
        std::lock_guard<std::mutex> lock(recordedMutex_);
        EXPECT_EQ(ids, recorded_);
    }
    // The copy reported its progress to the window, rising to 100.
    ASSERT_TRUE(WaitUntil([&] { return heard_.finishedPosts >= 1; }));
    ASSERT_FALSE(heard_.percents.empty());
    EXPECT_EQ(100, heard_.percents.back());
    // Each move asked the UI thread to let go of the file first, and waited for it.
    ASSERT_EQ(3u, heard_.released.size());
    EXPECT_EQ(source_ / L"a.txt", heard_.released[0]);
    EXPECT_TRUE(heard_.sourceThereWhenReleased[0]);
    EXPECT_EQ("a", ReadFileBytes(target_ / L"a.txt"));

    // Undo refuses a move whose original path is occupied: it fails and neither file
    // changes. Undos that succeed are checked through the program's menu and Ctrl+Z.
    WriteFileBytes(source_ / L"blocked.txt", "a new file in the old place");
    Operation undo = finished_[3].operation;
    undo.kind = OperationKind::kUndoMove;
    undo.size = finished_[3].transfer.size;
    undo.lastWrite = finished_[3].transfer.lastWrite;
    queue_->Enqueue(undo);
    ASSERT_TRUE(WaitForFinished(5));
    EXPECT_EQ(OperationOutcome::kFailed, finished_[4].outcome);
    EXPECT_EQ("a new file in the old place", ReadFileBytes(source_ / L"blocked.txt"));
    EXPECT_EQ("b", ReadFileBytes(target_ / L"blocked.txt"));
}

TEST_F(OperationQueueTest, CancellingDropsTheQueuedButNotLaterOnesAndStoppingEndsEveryOne) {
    ASSERT_TRUE(CreateLargeFile(source_ / L"big.bin", 256 << 20));
    WriteFileBytes(source_ / L"b.txt", "b");
    WriteFileBytes(source_ / L"c.txt", "c");
    heard_.onProgress = [&] {
        if (heard_.percents.back() < 100)
            queue_->CancelAll();
    };
    Queue(OperationKind::kCopy, L"big.bin");
    Queue(OperationKind::kCopy, L"b.txt");
    ASSERT_TRUE(WaitForFinished(2));
    heard_.onProgress = nullptr;
    EXPECT_EQ(OperationOutcome::kCancelled, finished_[0].outcome);
    EXPECT_EQ(OperationOutcome::kCancelled, finished_[1].outcome);
    // Nothing of either is left in the target, not even a partial file.
    EXPECT_EQ(std::vector<std::wstring>{}, FolderListing(target_.Path()));

    Queue(OperationKind::kCopy, L"c.txt");
    ASSERT_TRUE(WaitForFinished(3));
    EXPECT_EQ(OperationOutcome::kSucceeded, finished_[2].outcome);
    EXPECT_EQ("c", ReadFileBytes(target_ / L"c.txt"));

    // Stopping ends the running copy and reports every queued operation as cancelled; a
    // stopped queue takes nothing more.
    for (int i = 0; i < 5; ++i)
        Queue(OperationKind::kCopy, L"big.bin");
    queue_->StopAndWait();
    EXPECT_EQ(0, queue_->PendingCount());
    ASSERT_TRUE(WaitForFinished(8));
    for (size_t i = 3; i < 8; ++i)
        EXPECT_EQ(OperationOutcome::kCancelled, finished_[i].outcome) << i;
    {
        std::lock_guard<std::mutex> lock(recordedMutex_);
        EXPECT_EQ(8u, recorded_.size());
    }
    EXPECT_EQ(0u, queue_->Enqueue(Operation{}));
}

TEST_F(OperationQueueTest, TheFirstOperationIntoAFolderRemovesWhatKilledCopiesLeftThere) {
    WriteFileBytes(source_ / L"a.txt", "a");
    // Of a process that no longer runs, and of the older form no program has open.
    for (const wchar_t* name : {L".~zemo-7ffffffc.zemo-part", L"a.mp4.0badf00d.zemo-part"})
        WriteFileBytes(target_ / name, "left");
    Queue(OperationKind::kCopy, L"a.txt");
    ASSERT_TRUE(WaitForFinished(1));
    EXPECT_EQ(OperationOutcome::kSucceeded, finished_[0].outcome);
    EXPECT_EQ(std::vector<std::wstring>{L"a.txt"}, FolderListing(target_.Path()));
}
