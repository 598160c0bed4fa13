#include "app/file_reader.h"

#include <system_error>
#include <thread>

std::unique_ptr<FileNameBatch> TakeBatch(LPARAM lParam) {
    return std::unique_ptr<FileNameBatch>(reinterpret_cast<FileNameBatch*>(lParam));
}

void FileReader::Cancel() {
    if (cancelled_)
        cancelled_->store(true);
    cancelled_.reset();
}

bool FileReader::Start(std::wstring directory, HWND window, UINT message, WPARAM readNumber,
                       const BatchSizes& sizes) {
    Cancel();
    auto cancelled = std::make_shared<std::atomic<bool>>(false);
    // The worker is never waited for: a read of a large directory may block in the file
    // system for a long time, and a cancelled worker only finishes its current call.
    auto work = [directory = std::move(directory), window, message, readNumber, sizes,
                 cancelled]() noexcept {
        try {
            ListFilesInBatches(directory, *cancelled, sizes, [&](FileNameBatch&& batch) {
                if (cancelled->load())
                    return false;
                auto posted = std::make_unique<FileNameBatch>(std::move(batch));
                if (!PostMessageW(window, message, readNumber,
                                  reinterpret_cast<LPARAM>(posted.get())))
                    return false;  // the window is gone: nobody wants the rest
                posted.release();
                return true;
            });
        } catch (...) {
            // Out of memory in the worker: the read ends where it is.
        }
    };
    try {
        std::thread(std::move(work)).detach();
    } catch (const std::system_error&) {
        return false;
    }
    cancelled_ = std::move(cancelled);
    return true;
}
