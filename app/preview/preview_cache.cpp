#include "app/preview/preview_cache.h"

#include <windows.h>

#include <algorithm>

namespace {

bool SamePath(const std::wstring& a, const std::wstring& b) {
    return CompareStringOrdinal(a.c_str(), static_cast<int>(a.size()), b.c_str(),
                                static_cast<int>(b.size()), TRUE) == CSTR_EQUAL;
}

size_t BytesOf(const PreviewImage& image) {
    return sizeof(PreviewImage) + image.pixels.size() * sizeof(uint32_t) +
           image.facts.size() * sizeof(wchar_t);
}

}  // namespace

std::shared_ptr<const PreviewImage> PreviewCache::Find(const std::wstring& path, PreviewKind kind,
                                                       PixelSize box) const {
    const auto found = std::find_if(entries_.begin(), entries_.end(), [&](const Entry& entry) {
        return entry.kind == kind && (kind == PreviewKind::placeholder || entry.box == box) &&
               SamePath(entry.path, path);
    });
    return found == entries_.end() ? nullptr : found->image;
}

std::shared_ptr<const PreviewImage> PreviewCache::Best(const std::wstring& path,
                                                       PixelSize box) const {
    if (auto exact = Find(path, PreviewKind::sharp, box); exact)
        return exact;
    std::shared_ptr<const PreviewImage> placeholder;
    for (auto entry = entries_.rbegin(); entry != entries_.rend(); ++entry) {
        if (!entry->image->Decoded() || !SamePath(entry->path, path))
            continue;
        if (entry->kind == PreviewKind::sharp)
            return entry->image;
        placeholder = entry->image;
    }
    return placeholder;
}

void PreviewCache::Touch(const std::wstring& path) {
    std::stable_partition(entries_.begin(), entries_.end(),
                          [&](const Entry& entry) { return !SamePath(entry.path, path); });
}

void PreviewCache::Put(const std::wstring& path, PreviewKind kind, PixelSize box,
                       std::shared_ptr<const PreviewImage> image) {
    if (!image)
        return;
    std::erase_if(entries_, [&](const Entry& entry) {
        const bool same = entry.kind == kind &&
                          (kind == PreviewKind::placeholder || entry.box == box) &&
                          SamePath(entry.path, path);
        if (same)
            bytes_ -= entry.bytes;
        return same;
    });
    const size_t bytes = BytesOf(*image);
    entries_.push_back({path, kind, box, std::move(image), bytes});
    bytes_ += bytes;
    // The newest image stays even alone over the budget: it is the one being shown.
    size_t leaving = 0;
    while (bytes_ > budget_ && leaving + 1 < entries_.size())
        bytes_ -= entries_[leaving++].bytes;
    entries_.erase(entries_.begin(), entries_.begin() + static_cast<ptrdiff_t>(leaving));
}

void PreviewCache::Forget(const std::wstring& path) {
    std::erase_if(entries_, [&](const Entry& entry) {
        const bool same = SamePath(entry.path, path);
        if (same)
            bytes_ -= entry.bytes;
        return same;
    });
}
