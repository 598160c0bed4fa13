// The decoded images the preview keeps, within a budget of bytes, the least recently used
// leaving first. Each file may have a placeholder and sharp images for pane sizes. Paths
// compare without regard to case, as the file system does.
#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <vector>

#include "app/preview/image_decoder.h"

enum class PreviewKind { placeholder, sharp };

// 64 MB of decoded images in the 32-bit build; four times that where the address space allows.
inline constexpr size_t kPreviewCacheBytes = (sizeof(void*) == 4 ? 64u : 256u) << 20;

class PreviewCache {
  public:
    explicit PreviewCache(size_t byteBudget) : budget_(byteBudget) {}

    // A placeholder is found for any size; a sharp image only for the size it was made for.
    std::shared_ptr<const PreviewImage> Find(const std::wstring& path, PreviewKind kind,
                                             PixelSize box) const;
    // What to show for the file: the sharp image for this size, else one for another size
    // (the newest), else a decoded placeholder; null when there is none of them.
    std::shared_ptr<const PreviewImage> Best(const std::wstring& path, PixelSize box) const;
    // Marks the file's images as just used.
    void Touch(const std::wstring& path);
    // Keeps the image, then lets the least recently used others go while the budget is
    // passed. An empty placeholder records that the file has none.
    void Put(const std::wstring& path, PreviewKind kind, PixelSize box,
             std::shared_ptr<const PreviewImage> image);
    void Forget(const std::wstring& path);

    size_t Size() const { return entries_.size(); }
    size_t Bytes() const { return bytes_; }

  private:
    struct Entry {
        std::wstring path;
        PreviewKind kind;
        PixelSize box;
        std::shared_ptr<const PreviewImage> image;
        size_t bytes;
    };

    size_t budget_;
    size_t bytes_ = 0;
    std::vector<Entry> entries_;  // most recently used last
};
