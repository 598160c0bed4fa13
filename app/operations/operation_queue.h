// The worker thread that carries out file operations one at a time, in the order they
// were queued, so the UI thread never waits on the disk. It reaches the UI thread only by
// the route it is given (app/base/ui_thread.h):
//   progress   posted: an operation's percentage copied so far;
//   finished   posted: one or more operations ended, TakeFinished hands them over;
//   release    sent, and the worker waits for it (at most 10 s): the full path of a file
//              about to be moved; the UI thread lets go of that file (the media player may
//              hold it open) first.
#pragma once

#include <windows.h>

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <mutex>
#include <string>
#include <vector>

#include "app/operations/file_transfer.h"
#include "app/base/ui_thread.h"
#include "ui/unique_handle.h"

enum class OperationKind : int32_t {
    kCopy,      // source -> destination, through a temporary name
    kMove,      // source -> destination, a rename where possible
    kUndoCopy,  // the copy at destination goes to the Recycle Bin when unchanged
    kUndoMove,  // destination -> source when unchanged, never replacing
};

struct Operation {
    OperationKind kind = OperationKind::kCopy;
    std::wstring source;
    std::wstring destination;
    // A copy or move whose destination's name is taken: fails, or keeps both files.
    NameClash clash = NameClash::kFail;
    // For an undo: the size and last-write time the copy or moved file had when made.
    uint64_t size = 0;
    FILETIME lastWrite{};
    // The caller's own identity for the operation (such as its row); carried unchanged.
    intptr_t tag = 0;
};

enum class OperationOutcome : int32_t { kSucceeded, kFailed, kCancelled };

struct FinishedOperation {
    uint32_t id = 0;
    Operation operation;
    OperationOutcome outcome = OperationOutcome::kFailed;
    DWORD error = ERROR_SUCCESS;
    // The system's text for a failure; after both files were kept, the name the file took
    // ("已另存为 IMG_1 (2).JPG"); empty otherwise.
    std::wstring reason;
    TransferResult transfer;  // size and time of the file under its final name
};

// What the worker tells the UI thread; each runs there. Without an open route nothing is
// posted or sent.
struct OperationReports {
    UiRoute route;
    std::function<void(uint32_t id, int32_t percent)> progress;
    std::function<void()> finished;
    std::function<void(const std::wstring& path)> release;
};

class OperationQueue {
  public:
    // `onFinished` runs on the worker as each operation ends, before the UI hears of it
    // (the journal writes its line there); it must not throw.
    OperationQueue(OperationReports reports,
                   std::function<void(const FinishedOperation&)> onFinished = nullptr);
    // Cancels the running operation, drops the queued ones and waits for the worker.
    ~OperationQueue();
    OperationQueue(const OperationQueue&) = delete;
    OperationQueue& operator=(const OperationQueue&) = delete;

    // Queues an operation; its id, 0 when the worker could not be started.
    uint32_t Enqueue(Operation operation);
    // Operations queued or running.
    int32_t PendingCount() const;
    // Cancels the running operation (a copy stops and leaves nothing behind) and drops
    // every queued one; all of them finish as kCancelled. Operations queued later run.
    void CancelAll();
    // CancelAll, then waits until the worker has reported every operation, handling the
    // messages the worker sends to this thread meanwhile.
    void StopAndWait();
    // The operations that ended since the last call, in the order they ended.
    std::vector<FinishedOperation> TakeFinished();

  private:
    struct Queued {
        uint32_t id;
        Operation operation;
    };
    static DWORD WINAPI ThreadMain(void* self) noexcept;
    void Run();
    FinishedOperation Carry(const Queued& item);
    void Report(FinishedOperation finished);
    void AskToRelease(const std::wstring& path) const;
    bool StartWorker();

    const OperationReports reports_;
    const std::function<void(const FinishedOperation&)> onFinished_;

    mutable std::mutex mutex_;
    std::condition_variable wake_;
    std::deque<Queued> queue_;
    std::vector<FinishedOperation> finished_;
    uint32_t nextId_ = 1;
    uint32_t dropBefore_ = 0;  // operations with a smaller id are cancelled
    bool running_ = false;     // the worker is carrying one out
    bool quit_ = false;
    std::atomic<bool> cancelRunning_{false};
    UniqueKernelHandle thread_;
};
