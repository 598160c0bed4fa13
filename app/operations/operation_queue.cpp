#include "app/operations/operation_queue.h"

#include <objbase.h>

#include "app/base/system_error.h"
#include "app/operations/free_name.h"
#include "runtime/guard.h"

namespace {

// How long the worker waits for the UI thread to let go of a file before moving it anyway
// (the move then fails if the file is still held).
constexpr UINT kReleaseTimeoutMs = 10000;
// Shortest time between two progress reports of one operation.
constexpr ULONGLONG kProgressIntervalMs = 250;

struct ComApartment {
    ComApartment() : initialised(SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))) {}
    ~ComApartment() {
        if (initialised)
            CoUninitialize();
    }
    bool initialised;
};

}  // namespace

OperationQueue::OperationQueue(OperationReports reports,
                               std::function<void(const FinishedOperation&)> onFinished)
    : reports_(std::move(reports)), onFinished_(std::move(onFinished)) {}

OperationQueue::~OperationQueue() {
    StopAndWait();
}

bool OperationQueue::StartWorker() {
    if (thread_)
        return true;
    thread_.Reset(CreateThread(nullptr, 0, &OperationQueue::ThreadMain, this, 0, nullptr));
    return static_cast<bool>(thread_);
}

uint32_t OperationQueue::Enqueue(Operation operation) {
    std::lock_guard<std::mutex> lock(mutex_);
    if (quit_ || !StartWorker())
        return 0;
    const uint32_t id = nextId_++;
    queue_.push_back({id, std::move(operation)});
    wake_.notify_one();
    return id;
}

int32_t OperationQueue::PendingCount() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return static_cast<int32_t>(queue_.size()) + (running_ ? 1 : 0);
}

void OperationQueue::CancelAll() {
    std::lock_guard<std::mutex> lock(mutex_);
    dropBefore_ = nextId_;
    cancelRunning_ = true;
    wake_.notify_one();
}

void OperationQueue::StopAndWait() {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        dropBefore_ = nextId_;
        cancelRunning_ = true;
        quit_ = true;
        wake_.notify_one();
    }
    if (!thread_)
        return;
    // The worker may be sending this thread a release request: answer it while waiting.
    const HANDLE thread = thread_.Get();
    while (MsgWaitForMultipleObjects(1, &thread, FALSE, INFINITE, QS_SENDMESSAGE) ==
           WAIT_OBJECT_0 + 1) {
        MSG message;
        PeekMessageW(&message, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
    }
    thread_.Reset();
}

std::vector<FinishedOperation> OperationQueue::TakeFinished() {
    std::lock_guard<std::mutex> lock(mutex_);
    return std::exchange(finished_, {});
}

DWORD WINAPI OperationQueue::ThreadMain(void* self) noexcept {
    RunGuarded([self] {
        // The shell's Recycle Bin operation wants an apartment on the calling thread.
        const ComApartment apartment;
        static_cast<OperationQueue*>(self)->Run();
    });
    return 0;
}

void OperationQueue::Run() {
    for (;;) {
        Queued item;
        bool drop = false;
        {
            std::unique_lock<std::mutex> lock(mutex_);
            wake_.wait(lock, [this] { return quit_ || !queue_.empty(); });
            if (queue_.empty())
                return;  // quitting, and every operation has been reported
            item = std::move(queue_.front());
            queue_.pop_front();
            drop = item.id < dropBefore_;
            running_ = !drop;
            cancelRunning_ = drop;
        }
        FinishedOperation finished;
        if (drop) {
            finished.id = item.id;
            finished.operation = std::move(item.operation);
            finished.outcome = OperationOutcome::kCancelled;
            finished.error = ERROR_CANCELLED;
        } else {
            finished = Carry(item);
        }
        Report(std::move(finished));
    }
}

FinishedOperation OperationQueue::Carry(const Queued& item) {
    const Operation& operation = item.operation;
    const uint32_t id = item.id;
    // A few reports a second are enough to follow; each one costs the UI thread a repaint
    // of the row, which would otherwise take CPU time from the copy itself.
    ULONGLONG lastReport = 0;
    const TransferProgress progress = [this, id, &lastReport](int32_t percent) {
        const ULONGLONG now = GetTickCount64();
        const bool due =
            lastReport == 0 || percent == 100 || now - lastReport >= kProgressIntervalMs;
        if (!due)
            return;
        lastReport = now;
        reports_.route.Post([report = reports_.progress, id, percent] { report(id, percent); });
    };

    FinishedOperation finished;
    finished.id = id;
    finished.operation = operation;
    // A copy killed mid-way may have left its temporary file where this one writes.
    if (operation.kind != OperationKind::kUndoCopy)
        RemoveLeftoversBeside(operation.kind == OperationKind::kUndoMove ? operation.source
                                                                         : operation.destination);
    switch (operation.kind) {
        case OperationKind::kCopy:
            finished.transfer = CopyWholeFile(operation.source, operation.destination,
                                              cancelRunning_, progress, operation.clash);
            break;
        case OperationKind::kMove:
            AskToRelease(operation.source);
            finished.transfer = MoveWholeFile(operation.source, operation.destination,
                                              cancelRunning_, progress, operation.clash);
            break;
        case OperationKind::kUndoMove:
            AskToRelease(operation.destination);
            finished.transfer =
                MoveBackUnchangedFile(operation.destination, operation.source, operation.size,
                                      operation.lastWrite, cancelRunning_, progress);
            break;
        case OperationKind::kUndoCopy:
            finished.transfer =
                RecycleUnchangedFile(operation.destination, operation.size, operation.lastWrite);
            break;
    }
    if (finished.transfer.succeeded) {
        finished.outcome = OperationOutcome::kSucceeded;
        // The journal and the undo follow the file to the name it took.
        if (!finished.transfer.keptAs.empty()) {
            finished.operation.destination = finished.transfer.keptAs;
            finished.reason = L"已另存为 " + std::wstring(NameOfPath(finished.transfer.keptAs));
        }
    } else {
        finished.error = finished.transfer.error;
        finished.outcome =
            cancelRunning_.load() ? OperationOutcome::kCancelled : OperationOutcome::kFailed;
        finished.reason = finished.transfer.reason.empty() ? SystemMessage(finished.error)
                                                           : finished.transfer.reason;
    }
    return finished;
}

void OperationQueue::AskToRelease(const std::wstring& path) const {
    reports_.route.Send([release = reports_.release, path] { release(path); }, kReleaseTimeoutMs);
}

void OperationQueue::Report(FinishedOperation finished) {
    if (onFinished_)
        onFinished_(finished);
    {
        std::lock_guard<std::mutex> lock(mutex_);
        finished_.push_back(std::move(finished));
        running_ = false;
    }
    reports_.route.Post(reports_.finished);
}
