// Reading a directory on a worker thread. The worker owns its state; it hands the names it
// finds to a window of the UI thread as posted messages, one batch per message, and stops
// at the next file when its read is cancelled.
#pragma once

#include <windows.h>

#include <atomic>
#include <memory>
#include <string>

#include "app/file_enumeration.h"

class FileReader {
  public:
    FileReader() = default;
    FileReader(const FileReader&) = delete;
    FileReader& operator=(const FileReader&) = delete;
    ~FileReader() { Cancel(); }

    // Cancels the read in progress and starts reading `directory`. Each batch is posted
    // to `window` as `message`, wParam `readNumber`, lParam the batch (see TakeBatch).
    // False when no thread could be started.
    bool Start(std::wstring directory, HWND window, UINT message, WPARAM readNumber,
               const BatchSizes& sizes = BatchSizes());
    // The worker stops at its next file and posts nothing more; batches already posted
    // still arrive and are told apart by their read number.
    void Cancel();

  private:
    std::shared_ptr<std::atomic<bool>> cancelled_;
};

// Takes ownership of the batch a posted message carries.
std::unique_ptr<FileNameBatch> TakeBatch(LPARAM lParam);
