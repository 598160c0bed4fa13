#include "app/preview/image_preview.h"

#include <objbase.h>
#include <wrl/client.h>

#include <algorithm>
#include <cstdlib>
#include <system_error>

#include "app/preview/step_pace.h"
#include "runtime/guard.h"

using Microsoft::WRL::ComPtr;

namespace {

bool SamePath(const std::wstring& a, const std::wstring& b) {
    return CompareStringOrdinal(a.c_str(), static_cast<int>(a.size()), b.c_str(),
                                static_cast<int>(b.size()), TRUE) == CSTR_EQUAL;
}

bool Contains(const std::vector<std::wstring>& files, const std::wstring& path) {
    return std::any_of(files.begin(), files.end(),
                       [&](const std::wstring& file) { return SamePath(file, path); });
}

}  // namespace

int DefaultDecodeWorkers() {
    wchar_t text[8] = {};
    const DWORD length = GetEnvironmentVariableW(L"ZEMO_DECODE_WORKERS", text, 8);
    if (length > 0 && length < 8) {
        const long count = std::wcstol(text, nullptr, 10);
        if (count >= 1 && count <= 16)
            return static_cast<int>(count);
    }
    return std::max(1, static_cast<int>(std::thread::hardware_concurrency()) - 1);
}

ImagePreviewer::ImagePreviewer(UiRoute route, ReadyHandler ready, PreviewerOptions options)
    : route_(std::move(route)),
      ready_(std::move(ready)),
      decodeStarting_(std::move(options.decodeStarting)),
      cache_(options.cacheBytes),
      decodeWorkers_(std::max(1, options.decodeWorkers)) {
    try {
        threads_.emplace_back([this] { RunThread(&ImagePreviewer::ReadPlaceholders); });
        for (int worker = 0; worker < decodeWorkers_; ++worker)
            threads_.emplace_back([this] { RunThread(&ImagePreviewer::DecodePhotos); });
    } catch (const std::system_error&) {
        if (threads_.size() < 2) {
            Stop();  // the caller learns there is no previewer
            throw;
        }
        // Fewer workers than asked for still decode everything.
    }
}

ImagePreviewer::~ImagePreviewer() {
    Stop();
}

void ImagePreviewer::Stop() {
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    wake_.notify_all();
    for (std::thread& thread : threads_)
        if (thread.joinable())
            thread.join();
    threads_.clear();
}

uint64_t ImagePreviewer::Request(PreviewRequest request) {
    std::lock_guard lock(mutex_);
    ++generation_;
    box_ = request.box;
    decodesFrom_ = request.decodesFrom;
    const int64_t rest =
        RestBeforeDecodingMs(request.stepIntervalMs, lastDecodeMs_, decodeWorkers_);
    if (rest > 0)
        decodesFrom_ =
            std::max(decodesFrom_, PreviewClock::now() + std::chrono::milliseconds(rest));
    wanted_.clear();
    wanted_.push_back(std::move(request.focused));
    for (std::wstring& next : request.ahead)
        if (!next.empty() && !Contains(wanted_, next))
            wanted_.push_back(std::move(next));
    // Wanted images become the most recent, so decoding ahead never pushes them out.
    for (auto file = wanted_.rbegin(); file != wanted_.rend(); ++file)
        cache_.Touch(*file);
    wake_.notify_all();
    return generation_;
}

std::shared_ptr<const PreviewImage> ImagePreviewer::Ready(uint64_t generation) const {
    std::lock_guard lock(mutex_);
    if (generation != generation_ || wanted_.empty())
        return nullptr;
    return cache_.Best(wanted_.front(), box_);
}

bool ImagePreviewer::Holds(const std::wstring& path) const {
    std::lock_guard lock(mutex_);
    return cache_.Find(path, PreviewKind::sharp, box_) != nullptr;
}

void ImagePreviewer::Forget(const std::wstring& path) {
    std::lock_guard lock(mutex_);
    cache_.Forget(path);
}

void ImagePreviewer::RunThread(void (ImagePreviewer::*work)(IWICImagingFactory*)) {
    // A file that cannot be decoded is a result (an empty image), not an exception.
    RunGuarded([&] {
        {
            std::unique_lock lock(mutex_);
            wake_.wait(lock, [&] { return stopping_ || !wanted_.empty(); });
            if (stopping_)
                return;
        }
        const HRESULT apartment = CoInitializeEx(nullptr, COINIT_MULTITHREADED);
        {
            ComPtr<IWICImagingFactory> factory;
            if (SUCCEEDED(CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER,
                                           IID_PPV_ARGS(&factory))))
                (this->*work)(factory.Get());
        }
        if (SUCCEEDED(apartment))
            CoUninitialize();
    });
}

bool ImagePreviewer::Wanted(const std::wstring& path, PixelSize box) const {
    return !stopping_ && box == box_ && Contains(wanted_, path);
}

void ImagePreviewer::AnnounceIfFocused(const std::wstring& path) {
    if (!wanted_.empty() && SamePath(path, wanted_.front()))
        route_.Post([ready = ready_, generation = generation_] { ready(generation); });
}

void ImagePreviewer::ReadPlaceholders(IWICImagingFactory* factory) {
    std::unique_lock lock(mutex_);
    while (!stopping_) {
        // The first wanted file with neither a placeholder nor its photo at this size.
        const auto missing = std::find_if(wanted_.begin(), wanted_.end(), [&](const auto& file) {
            return !cache_.Find(file, PreviewKind::placeholder, {}) &&
                   !cache_.Find(file, PreviewKind::sharp, box_);
        });
        if (missing == wanted_.end()) {
            wake_.wait(lock);
            continue;
        }
        const std::wstring path = *missing;
        lock.unlock();
        auto placeholder = std::make_shared<const PreviewImage>(DecodePlaceholder(factory, path));
        lock.lock();
        cache_.Put(path, PreviewKind::placeholder, {}, placeholder);
        if (placeholder->Decoded())
            AnnounceIfFocused(path);
    }
}

void ImagePreviewer::DecodePhotos(IWICImagingFactory* factory) {
    std::unique_lock lock(mutex_);
    while (!stopping_) {
        // The first wanted file without its photo that no other worker is decoding: the
        // focused one, else the nearest ahead.
        const auto missing = std::find_if(wanted_.begin(), wanted_.end(), [&](const auto& file) {
            return !cache_.Find(file, PreviewKind::sharp, box_) && !Contains(decoding_, file);
        });
        if (missing == wanted_.end()) {
            wake_.wait(lock);
            continue;
        }
        if (PreviewClock::now() < decodesFrom_) {
            wake_.wait_until(lock, decodesFrom_);
            continue;  // the wanted files may have changed meanwhile
        }
        const std::wstring path = *missing;
        const PixelSize box = box_;
        decoding_.push_back(path);
        ++decodesStarted_;
        lock.unlock();
        if (decodeStarting_)
            decodeStarting_(path);
        const PreviewClock::time_point started = PreviewClock::now();
        // A decode goes on while its file is still wanted; once the focus has moved so far
        // that it is not, it stops at the next band.
        std::optional<PreviewImage> decoded = DecodePreview(factory, path, box, [&] {
            std::lock_guard check(mutex_);
            return Wanted(path, box);
        });
        lock.lock();
        decoding_.erase(std::find(decoding_.begin(), decoding_.end(), path));
        if (decoded) {
            lastDecodeMs_ =
                std::chrono::duration_cast<std::chrono::milliseconds>(PreviewClock::now() - started)
                    .count();
            // A decode that lost the race is kept (the user may step back) but announced
            // only when its file is still the focused one at this size.
            cache_.Put(path, PreviewKind::sharp, box,
                       std::make_shared<const PreviewImage>(std::move(*decoded)));
            if (box == box_)
                AnnounceIfFocused(path);
        }
        wake_.notify_all();  // others may have skipped this file while it was decoded
    }
}
