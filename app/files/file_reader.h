// Reading a directory on a worker thread. The worker owns its state; it hands the names it
// finds to the UI thread one batch at a time, and stops at the next file when its read is
// cancelled or nobody wants its batches any more.
#pragma once

#include <atomic>
#include <functional>
#include <memory>
#include <string>

#include "app/files/file_enumeration.h"
#include "app/base/ui_thread.h"

// Runs on the UI thread with each batch, in order.
using FileBatchReceiver = std::function<void(const FileNameBatch& batch)>;

class FileReader {
  public:
    FileReader() = default;
    FileReader(const FileReader&) = delete;
    FileReader& operator=(const FileReader&) = delete;
    ~FileReader() { Cancel(); }

    // Cancels the read in progress and starts reading `directory`. Each batch goes to
    // `receive` by `route`; once the route's receiver is closed the worker stops. False
    // when no thread could be started.
    bool Start(std::wstring directory, UiRoute route, FileBatchReceiver receive,
               const BatchSizes& sizes = BatchSizes());
    // The worker stops at its next file and posts nothing more.
    void Cancel();

  private:
    std::shared_ptr<std::atomic<bool>> cancelled_;
};
