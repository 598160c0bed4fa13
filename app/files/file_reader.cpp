#include "app/files/file_reader.h"

#include <system_error>
#include <thread>

#include "runtime/guard.h"

void FileReader::Cancel() {
    if (cancelled_)
        cancelled_->store(true);
    cancelled_.reset();
}

bool FileReader::Start(std::wstring directory, UiRoute route, FileBatchReceiver receive,
                       const BatchSizes& sizes) {
    Cancel();
    auto cancelled = std::make_shared<std::atomic<bool>>(false);
    // The worker is never waited for: a read of a large directory may block in the file
    // system for a long time, and a cancelled worker only finishes its current call.
    auto work = [directory = std::move(directory), route = std::move(route),
                 receive = std::move(receive), sizes, cancelled]() noexcept {
        RunGuarded([&] {
            ListFilesInBatches(directory, *cancelled, sizes, [&](FileNameBatch&& batch) {
                if (cancelled->load())
                    return false;
                auto posted = std::make_shared<const FileNameBatch>(std::move(batch));
                // False once the receiver is gone: nobody wants the rest.
                return route.Post([receive, posted] { receive(*posted); });
            });
        });
    };
    try {
        std::thread(std::move(work)).detach();
    } catch (const std::system_error&) {
        return false;  // no thread: the caller reads the directory itself
    }
    cancelled_ = std::move(cancelled);
    return true;
}
