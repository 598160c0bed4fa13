// Decoding a photo for the preview pane with the Windows Imaging Component (WIC), at the
// size it is shown, turned as its EXIF orientation says. The steps that need no system
// are pure functions of their own, so they are tested without files or codecs.
#pragma once

#include <windows.h>
#include <wincodec.h>

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// The pane's background, also behind transparent pixels and around a fitted photo.
constexpr COLORREF kPreviewBackground = RGB(64, 64, 64);

struct PixelSize {
    int32_t width = 0;
    int32_t height = 0;
    bool operator==(const PixelSize&) const = default;
};

// A decoded preview: width x height pixels, rows top-down, 0x00RRGGBB (the byte order of
// a 32-bit top-down DIB). Empty (0 x 0) when the file could not be decoded.
struct PreviewImage {
    int32_t width = 0;
    int32_t height = 0;
    std::vector<uint32_t> pixels;
    // The line of facts shown under the photo (UTF-16); for a file that could not be
    // decoded its time and size, when it could be opened.
    std::wstring facts;
    // The upright size of the photo these pixels stand for: a placeholder is drawn at the
    // size the photo would be shown. 0 x 0 when the file does not say.
    PixelSize photoSize;

    bool Decoded() const { return width > 0 && height > 0; }
};

// The largest size with the image's proportions that fits inside the box, never larger
// than the image itself; at least 1 x 1 for a non-empty image and box.
PixelSize FitInside(PixelSize image, PixelSize box);

// The size with the image's proportions that just fits the box, larger or smaller than the
// image; at least 1 x 1 for a non-empty image and box.
PixelSize ScaleToFit(PixelSize image, PixelSize box);

// True for the orientations that swap width and height (5 to 8).
bool OrientationSwapsSides(int orientation);

// The pixels turned and mirrored so that a photo stored with this EXIF orientation shows
// upright; any value outside 2 to 8 leaves the image as it is.
PreviewImage ApplyOrientation(PreviewImage image, int orientation);

// Lays premultiplied BGRA pixels over the background colour (alpha dropped afterwards).
void CompositeOverBackground(std::vector<uint32_t>& pixels, COLORREF background);

// The extensions of a WIC codec's extension list (".jpg;.jpeg,.jfif"; both ',' and ';'
// separate), lower case, each with its dot.
std::vector<std::wstring> SplitExtensionList(std::wstring_view list);

// Lower case of an ASCII extension; other characters stay.
std::wstring LowerExtension(std::wstring_view extension);

// The extensions every installed WIC decoder claims, lower case; empty when WIC is not
// there. Asks the component enumerator; call once.
std::vector<std::wstring> InstalledImageExtensions(IWICImagingFactory* factory);

// The largest source image the preview decodes (in pixels): above it the file shows as
// undecodable rather than risking the process's memory.
constexpr int64_t kMaximumSourcePixels = 200'000'000;

// Decodes the file at `path` fitted inside `box`, upright. The file is opened with read,
// write and delete sharing and closed before this returns, so a copy, move or delete of
// it never fails because of the preview. An empty image for anything that cannot be
// decoded; never throws. `wanted` is asked between bands of rows: once it says no, the
// decode gives up and gives nothing.
std::optional<PreviewImage> DecodePreview(IWICImagingFactory* factory, const std::wstring& path,
                                          PixelSize box,
                                          const std::function<bool()>& wanted = nullptr);

// The quick stand-in for a photo, shown while it decodes: a JPEG's EXIF thumbnail or a
// camera RAW's smallest embedded JPEG, read as one small byte range and decoded upright at
// its own size, with the photo's facts. Empty when the file holds none (or only one too
// large to be quick).
PreviewImage DecodePlaceholder(IWICImagingFactory* factory, const std::wstring& path);
