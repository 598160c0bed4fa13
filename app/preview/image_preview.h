// Photo previews decoded off the UI thread: a worker thread with its own COM apartment
// decodes the focused file first and its neighbours after it, keeps the last few previews,
// and tells the UI thread (PostToUi) when the focused file's preview is ready.
#pragma once

#include <windows.h>

#include <condition_variable>
#include <functional>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "app/preview/image_decoder.h"
#include "app/base/ui_thread.h"

// The last few decoded previews, the least recently used leaving first. Paths compare
// without regard to case, as the file system does; a preview made for another pane size
// is not found.
class PreviewCache {
  public:
    explicit PreviewCache(size_t capacity) : capacity_(capacity) {}

    std::shared_ptr<const PreviewImage> Find(const std::wstring& path, PixelSize box) const;
    // Marks the entry as just used; false when it is not there.
    bool Touch(const std::wstring& path, PixelSize box);
    void Put(const std::wstring& path, PixelSize box, std::shared_ptr<const PreviewImage> image);
    void Forget(const std::wstring& path);
    size_t Size() const { return entries_.size(); }

  private:
    struct Entry {
        std::wstring key;
        PixelSize box;
        std::shared_ptr<const PreviewImage> image;
    };
    std::vector<Entry>::const_iterator Locate(const std::wstring& key, PixelSize box) const;

    size_t capacity_;
    std::vector<Entry> entries_;  // most recently used last
};

class ImagePreviewer {
  public:
    // How many decoded previews are kept: the focused file, its two neighbours and the
    // two files seen just before.
    static constexpr size_t kCachedPreviews = 5;

    // When the focused file's preview is decoded, `ready` runs on the UI thread with the
    // request's generation, by `route`.
    using ReadyHandler = std::function<void(uint64_t generation)>;
    ImagePreviewer(UiRoute route, ReadyHandler ready);
    // Stops the worker after the decode it is running.
    ~ImagePreviewer();
    ImagePreviewer(const ImagePreviewer&) = delete;
    ImagePreviewer& operator=(const ImagePreviewer&) = delete;

    // Replaces every earlier request: `path` is decoded next, then `ahead` in order, each
    // fitted inside `box`. Gives the request's generation.
    uint64_t Request(const std::wstring& path, std::vector<std::wstring> ahead, PixelSize box);
    // The preview of the newest request's file when it is decoded; null otherwise, also
    // when `generation` is no longer the newest.
    std::shared_ptr<const PreviewImage> Ready(uint64_t generation) const;
    // Whether a preview of the file for the newest request's size is kept.
    bool Holds(const std::wstring& path) const;
    // Drops the file's preview (it was moved or replaced).
    void Forget(const std::wstring& path);

  private:
    void Run();
    // Waits until the first file is asked for, so the imaging component is loaded on
    // first use rather than at start-up; false when the previewer stops first.
    bool WaitForFirstRequest();
    void Work(IWICImagingFactory* factory);

    const UiRoute route_;
    const ReadyHandler ready_;
    mutable std::mutex mutex_;
    std::condition_variable wake_;
    bool stopping_ = false;
    uint64_t generation_ = 0;
    std::vector<std::wstring> wanted_;  // the focused file first, then the files ahead
    PixelSize box_;
    PreviewCache cache_{kCachedPreviews};
    std::thread worker_;
};
