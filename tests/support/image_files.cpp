#include "tests/support/image_files.h"

#include <objbase.h>
#include <wrl/client.h>

#include <algorithm>
#include <cstdlib>

#include "tests/support/process.h"
#include "tests/unit/tiff_builder.h"

using Microsoft::WRL::ComPtr;

namespace {

// Encodes the picture into `stream` through the imaging component's encoder.
bool EncodeInto(IStream* stream, const GUID& container, int width, int height,
                const std::function<COLORREF(int, int)>& colourAt) {
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    ComPtr<IWICImagingFactory> factory;
    ComPtr<IWICBitmapEncoder> encoder;
    ComPtr<IWICBitmapFrameEncode> frame;
    ComPtr<IPropertyBag2> options;
    if (FAILED(CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER,
                                IID_PPV_ARGS(&factory))) ||
        FAILED(factory->CreateEncoder(container, nullptr, &encoder)) ||
        FAILED(encoder->Initialize(stream, WICBitmapEncoderNoCache)) ||
        FAILED(encoder->CreateNewFrame(&frame, &options)) ||
        FAILED(frame->Initialize(options.Get())) || FAILED(frame->SetSize(width, height)))
        return false;
    WICPixelFormatGUID format = GUID_WICPixelFormat24bppBGR;
    if (FAILED(frame->SetPixelFormat(&format)) || format != GUID_WICPixelFormat24bppBGR)
        return false;
    const UINT stride = (static_cast<UINT>(width) * 3 + 3) / 4 * 4;
    std::vector<BYTE> row(stride);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const COLORREF colour = colourAt(x, y);
            row[x * 3] = GetBValue(colour);
            row[x * 3 + 1] = GetGValue(colour);
            row[x * 3 + 2] = GetRValue(colour);
        }
        if (FAILED(frame->WritePixels(1, stride, stride, row.data())))
            return false;
    }
    return SUCCEEDED(frame->Commit()) && SUCCEEDED(encoder->Commit());
}

}  // namespace

std::optional<std::string> EncodeImage(const GUID& container, int width, int height,
                                       const std::function<COLORREF(int, int)>& colourAt) {
    ComPtr<IStream> stream;
    HGLOBAL memory = nullptr;
    STATSTG facts = {};
    if (FAILED(CreateStreamOnHGlobal(nullptr, TRUE, &stream)) ||
        !EncodeInto(stream.Get(), container, width, height, colourAt) ||
        FAILED(stream->Stat(&facts, STATFLAG_NONAME)) ||
        FAILED(GetHGlobalFromStream(stream.Get(), &memory)))
        return std::nullopt;
    const void* bytes = GlobalLock(memory);
    if (!bytes)
        return std::nullopt;
    std::string encoded(static_cast<const char*>(bytes),
                        static_cast<size_t>(facts.cbSize.QuadPart));
    GlobalUnlock(memory);
    return encoded;
}

bool WriteImage(const std::wstring& path, const GUID& container, int width, int height,
                const std::function<COLORREF(int, int)>& colourAt) {
    const std::optional<std::string> bytes = EncodeImage(container, width, height, colourAt);
    return bytes && WriteFileBytes(path, *bytes);
}

bool WriteSolidImage(const std::wstring& path, const GUID& container, int width, int height,
                     COLORREF colour) {
    return WriteImage(path, container, width, height, [colour](int, int) { return colour; });
}

std::string WithExifTiff(const std::string& jpeg, const std::string& tiff) {
    const std::string payload = std::string("Exif\0\0", 6) + tiff;
    const int length = static_cast<int>(payload.size()) + 2;
    const std::string segment = std::string("\xFF\xE1", 2) + static_cast<char>(length >> 8) +
                                static_cast<char>(length & 0xFF) + payload;
    return jpeg.substr(0, 2) + segment + jpeg.substr(2);
}

std::string WithExifOrientation(const std::string& jpeg, int orientation, bool bigEndian) {
    TiffBuilder tiff(!bigEndian);
    tiff.Short(tiff.Directory(), 0x0112, static_cast<uint16_t>(orientation));
    return WithExifTiff(jpeg, tiff.Build());
}

std::string WithExifCaptureTime(const std::string& jpeg, const std::string& dateTimeOriginal) {
    TiffBuilder tiff(true);
    const int ifd0 = tiff.Directory(), exif = tiff.Directory();
    tiff.Pointers(ifd0, 0x8769, {exif});
    tiff.Text(exif, 0x9003, dateTimeOriginal);
    return WithExifTiff(jpeg, tiff.Build());
}

std::string WithExifThumbnail(const std::string& jpeg, const std::string& thumbnail) {
    // IFD0 (Orientation 1, so the photo is upright) links to IFD1, whose
    // JPEGInterchangeFormat points to the thumbnail right after it, at 68.
    TiffBuilder tiff(true);
    const int ifd0 = tiff.Directory(), ifd1 = tiff.Directory();
    tiff.Short(ifd0, 0x0112, 1);
    tiff.Next(ifd0, ifd1);
    tiff.Short(ifd1, 0x0103, 6);
    tiff.Long(ifd1, 0x0201, 68);
    tiff.Long(ifd1, 0x0202, static_cast<uint32_t>(thumbnail.size()));
    return WithExifTiff(jpeg, tiff.Build() + thumbnail);
}

std::optional<std::string> WriteJpegWithThumbnail(const std::wstring& path, int width, int height,
                                                  const std::function<COLORREF(int, int)>& colourAt,
                                                  COLORREF thumbnailColour) {
    const std::optional<std::string> thumbnail =
        EncodeImage(GUID_ContainerFormatJpeg, kExifThumbnailWidth, kExifThumbnailHeight,
                    [thumbnailColour](int, int) { return thumbnailColour; });
    const std::optional<std::string> photo =
        EncodeImage(GUID_ContainerFormatJpeg, width, height, colourAt);
    if (!thumbnail || !photo || !WriteFileBytes(path, WithExifThumbnail(*photo, *thumbnail)))
        return std::nullopt;
    return thumbnail;
}

bool NearColour(COLORREF a, COLORREF b, int tolerance) {
    return std::abs(GetRValue(a) - GetRValue(b)) <= tolerance &&
           std::abs(GetGValue(a) - GetGValue(b)) <= tolerance &&
           std::abs(GetBValue(a) - GetBValue(b)) <= tolerance;
}

ScreenShot::ScreenShot(HWND window) {
    RECT client = {};
    if (!GetClientRect(window, &client))
        return;
    POINT origin = {0, 0};
    ClientToScreen(window, &origin);
    width_ = client.right;
    height_ = client.bottom;
    Take(origin);
}

ScreenShot::ScreenShot(const RECT& onScreen)
    : width_(std::max(0, static_cast<int>(onScreen.right - onScreen.left))),
      height_(std::max(0, static_cast<int>(onScreen.bottom - onScreen.top))) {
    Take({onScreen.left, onScreen.top});
}

void ScreenShot::Take(POINT origin) {
    if (width_ == 0 || height_ == 0)
        return;
    const HDC screen = GetDC(nullptr);
    const HDC memory = CreateCompatibleDC(screen);
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = width_;
    info.bmiHeader.biHeight = -height_;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    const HBITMAP bitmap = CreateDIBSection(memory, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (bitmap && bits) {
        const HGDIOBJ old = SelectObject(memory, bitmap);
        BitBlt(memory, 0, 0, width_, height_, screen, origin.x, origin.y, SRCCOPY);
        SelectObject(memory, old);
        const auto* raw = static_cast<const DWORD*>(bits);
        pixels_.resize(static_cast<size_t>(width_) * height_);
        for (size_t i = 0; i < pixels_.size(); ++i)
            pixels_[i] = RGB(raw[i] >> 16 & 0xFF, raw[i] >> 8 & 0xFF, raw[i] & 0xFF);
    }
    if (bitmap)
        DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
}

COLORREF ScreenShot::At(int x, int y) const {
    if (x < 0 || y < 0 || x >= width_ || y >= height_ || pixels_.empty())
        return 0;
    return pixels_[static_cast<size_t>(y) * width_ + x];
}
