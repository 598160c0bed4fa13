#include "app/preview/image_preview.h"

#include <objbase.h>
#include <wrl/client.h>

#include <algorithm>

#include "runtime/guard.h"

using Microsoft::WRL::ComPtr;

namespace {

// File names compare without regard to case, as the file system does.
bool SamePath(const std::wstring& a, const std::wstring& b) {
    return CompareStringOrdinal(a.c_str(), static_cast<int>(a.size()), b.c_str(),
                                static_cast<int>(b.size()), TRUE) == CSTR_EQUAL;
}

}  // namespace

// ---- PreviewCache ---------------------------------------------------------------------------

std::vector<PreviewCache::Entry>::const_iterator PreviewCache::Locate(const std::wstring& key,
                                                                      PixelSize box) const {
    return std::find_if(entries_.begin(), entries_.end(), [&](const Entry& entry) {
        return entry.box == box &&
               CompareStringOrdinal(entry.key.c_str(), static_cast<int>(entry.key.size()),
                                    key.c_str(), static_cast<int>(key.size()), TRUE) == CSTR_EQUAL;
    });
}

std::shared_ptr<const PreviewImage> PreviewCache::Find(const std::wstring& path,
                                                       PixelSize box) const {
    const auto found = Locate(path, box);
    return found == entries_.end() ? nullptr : found->image;
}

bool PreviewCache::Touch(const std::wstring& path, PixelSize box) {
    const auto found = Locate(path, box);
    if (found == entries_.end())
        return false;
    std::rotate(entries_.begin() + (found - entries_.cbegin()),
                entries_.begin() + (found - entries_.cbegin()) + 1, entries_.end());
    return true;
}

void PreviewCache::Put(const std::wstring& path, PixelSize box,
                       std::shared_ptr<const PreviewImage> image) {
    const auto found = Locate(path, box);
    if (found != entries_.end())
        entries_.erase(found);
    if (capacity_ == 0)
        return;
    if (entries_.size() >= capacity_)
        entries_.erase(entries_.begin());
    entries_.push_back({path, box, std::move(image)});
}

void PreviewCache::Forget(const std::wstring& path) {
    std::erase_if(entries_, [&](const Entry& entry) { return SamePath(entry.key, path); });
}

// ---- ImagePreviewer -------------------------------------------------------------------------

ImagePreviewer::ImagePreviewer(UiRoute route, ReadyHandler ready)
    : route_(std::move(route)), ready_(std::move(ready)), worker_([this] { Run(); }) {}

ImagePreviewer::~ImagePreviewer() {
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    wake_.notify_all();
    worker_.join();
}

uint64_t ImagePreviewer::Request(const std::wstring& path, std::vector<std::wstring> ahead,
                                 PixelSize box) {
    std::lock_guard lock(mutex_);
    ++generation_;
    box_ = box;
    wanted_.clear();
    wanted_.push_back(path);
    for (std::wstring& next : ahead)
        if (!next.empty())
            wanted_.push_back(std::move(next));
    // Wanted previews become the most recent, so decoding ahead never pushes them out.
    for (auto file = wanted_.rbegin(); file != wanted_.rend(); ++file)
        cache_.Touch(*file, box_);
    wake_.notify_one();
    return generation_;
}

std::shared_ptr<const PreviewImage> ImagePreviewer::Ready(uint64_t generation) const {
    std::lock_guard lock(mutex_);
    if (generation != generation_ || wanted_.empty())
        return nullptr;
    return cache_.Find(wanted_.front(), box_);
}

bool ImagePreviewer::Holds(const std::wstring& path) const {
    std::lock_guard lock(mutex_);
    return cache_.Find(path, box_) != nullptr;
}

void ImagePreviewer::Forget(const std::wstring& path) {
    std::lock_guard lock(mutex_);
    cache_.Forget(path);
}

void ImagePreviewer::Run() {
    // A file that cannot be decoded is a result (an empty preview), not an exception.
    RunGuarded([this] {
        const HRESULT apartment = CoInitializeEx(nullptr, COINIT_MULTITHREADED);
        if (WaitForFirstRequest()) {
            ComPtr<IWICImagingFactory> factory;
            if (SUCCEEDED(CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER,
                                           IID_PPV_ARGS(&factory))))
                Work(factory.Get());
        }
        if (SUCCEEDED(apartment))
            CoUninitialize();
    });
}

bool ImagePreviewer::WaitForFirstRequest() {
    std::unique_lock lock(mutex_);
    wake_.wait(lock, [&] { return stopping_ || !wanted_.empty(); });
    return !stopping_;
}

void ImagePreviewer::Work(IWICImagingFactory* factory) {
    std::unique_lock lock(mutex_);
    for (;;) {
        // The first wanted file without a preview: the focused one, else the next ahead.
        const auto missing = std::find_if(wanted_.begin(), wanted_.end(), [&](const auto& file) {
            return !cache_.Find(file, box_);
        });
        if (stopping_)
            return;
        if (missing == wanted_.end()) {
            wake_.wait(lock);
            continue;
        }
        const std::wstring path = *missing;
        const PixelSize box = box_;
        lock.unlock();
        // A decode goes on while its file is still focused or ahead; once the selection
        // has moved elsewhere it stops at the next band.
        const auto wanted = [&] {
            std::lock_guard check(mutex_);
            return !stopping_ && box == box_ &&
                   std::any_of(wanted_.begin(), wanted_.end(),
                               [&](const std::wstring& file) { return SamePath(file, path); });
        };
        std::optional<PreviewImage> decoded = DecodePreview(factory, path, box, wanted);
        lock.lock();
        if (!decoded)
            continue;
        // A decode that lost the race is kept (the user may step back) but announced only
        // when its file is still the focused one.
        cache_.Put(path, box, std::make_shared<const PreviewImage>(std::move(*decoded)));
        if (!wanted_.empty() && box == box_ &&
            CompareStringOrdinal(path.c_str(), -1, wanted_.front().c_str(), -1, TRUE) == CSTR_EQUAL)
            route_.Post([ready = ready_, generation = generation_] { ready(generation); });
    }
}
