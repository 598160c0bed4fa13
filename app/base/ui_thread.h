// The one road from worker threads (the file reader, the keyboard hook, the copy/move
// worker, the photo decoder) to the UI thread: a message-only window of the UI thread that
// runs tasks the workers hand it.
//
// - Order: tasks run in the order they were posted, so each worker's tasks keep theirs.
// - Teardown: once StopUiTasks has run, no task runs any more; those still waiting are
//   dropped and every later post is refused.
// - Receivers: a task is posted for a receiver, something of the UI thread that outlives
//   its workers only sometimes (a read of a folder, the photo pane). The task runs only
//   while its receiver is open; once it is closed, posting for it fails, so the worker
//   knows nobody wants the rest and stops.
//
// A task is posted (PostToUi) and the worker goes on; only the worker's request to let go
// of a file before a move is sent (UiRoute::Send), and the worker waits for it.
#pragma once

#include <windows.h>

#include <atomic>
#include <functional>
#include <memory>

using UiTask = std::function<void()>;

// Makes the window on the calling thread, which becomes the UI thread. False when it cannot
// be made; calling it again while the window exists does nothing.
bool StartUiTasks();
// On the UI thread: drops the tasks not run yet and refuses every later one.
void StopUiTasks();

// Runs `task` on the UI thread after the tasks posted before it, unless the road is closed
// first. False when it is closed already: the task is dropped.
bool PostToUi(UiTask task);

// How a worker reaches one receiver. Copied freely; it never keeps the receiver alive.
class UiRoute {
  public:
    UiRoute() = default;  // leads nowhere: posts and sends fail
    explicit UiRoute(std::shared_ptr<const std::atomic<bool>> open) : open_(std::move(open)) {}

    // Whether the receiver is still open.
    bool Open() const { return open_ && open_->load(); }
    // PostToUi of a task that runs only if the receiver is still open by then. False when
    // the receiver is closed or the road is: the worker should stop posting.
    bool Post(UiTask task) const;
    // Runs `task` on the UI thread while the receiver is open and waits for it, at most
    // `timeoutMs`. The UI thread runs it as soon as it looks at its messages, also while it
    // waits for the worker itself (in MsgWaitForMultipleObjects with QS_SENDMESSAGE). False
    // when it did not run in time.
    bool Send(UiTask task, DWORD timeoutMs) const;

  private:
    std::shared_ptr<const std::atomic<bool>> open_;
};

// Something of the UI thread that workers report to, open from construction until Close
// or destruction. Used on the UI thread only.
class UiReceiver {
  public:
    UiReceiver() = default;
    ~UiReceiver() { Close(); }
    UiReceiver(const UiReceiver&) = delete;
    UiReceiver& operator=(const UiReceiver&) = delete;

    UiRoute Route() const { return UiRoute(open_); }
    // Tasks for the receiver that have not run yet never will, and its routes refuse more.
    void Close() { open_->store(false); }
    // Close, then open again for new routes only; the old ones stay closed.
    void Reopen();

  private:
    std::shared_ptr<std::atomic<bool>> open_ = std::make_shared<std::atomic<bool>>(true);
};
