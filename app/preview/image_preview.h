// Photo previews made off the UI thread. A fast lane reads and decodes placeholders (EXIF
// thumbnails, a RAW's smallest JPEG) and never waits behind a photo; a pool of decode
// workers decodes the photos themselves, the focused one first, then those ahead in the
// direction of travel. Each thread has its own COM apartment. The UI thread is told
// (through its receiver's route) whenever something new can be shown for the focused file.
#pragma once

#include <windows.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "app/base/ui_thread.h"
#include "app/preview/image_decoder.h"
#include "app/preview/preview_cache.h"

using PreviewClock = std::chrono::steady_clock;

// What the pane wants now; each request replaces the one before.
struct PreviewRequest {
    std::wstring focused;
    std::vector<std::wstring> ahead;  // the files wanted after it, nearest first
    PixelSize box;                    // the size the photos are fitted into
    // No photo decode starts before this (while a held key runs over the rows);
    // placeholders are read at once.
    PreviewClock::time_point decodesFrom{};
    // The mean time between the latest steps of the focus; 0 when it is not stepping.
    int64_t stepIntervalMs = 0;
};

struct PreviewerOptions {
    int decodeWorkers = 1;
    size_t cacheBytes = kPreviewCacheBytes;
    // Called on a decode worker as each photo decode starts (tests watch the order).
    std::function<void(const std::wstring& path)> decodeStarting;
};

// The decode workers the program runs: ZEMO_DECODE_WORKERS (1 to 16) when set, else every
// core but one, at least one.
int DefaultDecodeWorkers();

class ImagePreviewer {
  public:
    // `ready` runs on the UI thread with the request's generation, by `route`, whenever a
    // placeholder or photo of the focused file has been made.
    using ReadyHandler = std::function<void(uint64_t generation)>;
    ImagePreviewer(UiRoute route, ReadyHandler ready, PreviewerOptions options = {});
    // Stops the threads after the decodes they are running.
    ~ImagePreviewer();
    ImagePreviewer(const ImagePreviewer&) = delete;
    ImagePreviewer& operator=(const ImagePreviewer&) = delete;

    // Gives the request's generation. Work for files no longer wanted is dropped before it
    // starts, and a running decode of one stops at its next band of rows. When the steps
    // come faster than the workers decode, a decode started now would be of a row already
    // left: decodes then wait until the focus rests.
    uint64_t Request(PreviewRequest request);
    // The best image of the newest request's focused file (see PreviewCache::Best); null
    // when there is none yet, or when `generation` is no longer the newest.
    std::shared_ptr<const PreviewImage> Ready(uint64_t generation) const;
    // Whether the file's photo is decoded for the newest request's size.
    bool Holds(const std::wstring& path) const;
    // Drops the file's images (it was moved or replaced).
    void Forget(const std::wstring& path);
    // How many photo decodes have started (placeholders not counted).
    uint64_t DecodesStarted() const { return decodesStarted_.load(); }

  private:
    void Stop();
    // Runs `work` with a COM apartment and an imaging factory of the thread's own, once the
    // first file is asked for, so the imaging component loads on first use.
    void RunThread(void (ImagePreviewer::*work)(IWICImagingFactory*));
    void ReadPlaceholders(IWICImagingFactory* factory);
    void DecodePhotos(IWICImagingFactory* factory);
    // Whether the file is still wanted at this size (under the lock).
    bool Wanted(const std::wstring& path, PixelSize box) const;
    // Under the lock: tells the UI thread when `path` is the focused file.
    void AnnounceIfFocused(const std::wstring& path);

    const UiRoute route_;
    const ReadyHandler ready_;
    const std::function<void(const std::wstring&)> decodeStarting_;
    mutable std::mutex mutex_;
    std::condition_variable wake_;
    bool stopping_ = false;
    uint64_t generation_ = 0;
    std::vector<std::wstring> wanted_;  // the focused file first, then the files ahead
    PixelSize box_;
    PreviewClock::time_point decodesFrom_;
    std::vector<std::wstring> decoding_;  // files a worker decodes now
    PreviewCache cache_;
    std::atomic<uint64_t> decodesStarted_{0};
    int decodeWorkers_ = 1;
    int64_t lastDecodeMs_ = 0;  // how long the latest finished photo decode took
    std::vector<std::thread> threads_;
};
