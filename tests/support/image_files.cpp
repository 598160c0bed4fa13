#include "tests/support/image_files.h"

#include <objbase.h>
#include <wrl/client.h>

#include <algorithm>
#include <cstdlib>

#include "tests/support/process.h"

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

std::string LittleEndian16(int value) {
    return std::string{static_cast<char>(value), static_cast<char>(value >> 8)};
}

std::string LittleEndian32(int value) {
    return LittleEndian16(value & 0xFFFF) + LittleEndian16(value >> 16);
}

}  // namespace

bool WriteImage(const std::wstring& path, const GUID& container, int width, int height,
                const std::function<COLORREF(int, int)>& colourAt) {
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    ComPtr<IWICImagingFactory> factory;
    ComPtr<IWICStream> stream;
    return SUCCEEDED(CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER,
                                      IID_PPV_ARGS(&factory))) &&
           SUCCEEDED(factory->CreateStream(&stream)) &&
           SUCCEEDED(stream->InitializeFromFilename(path.c_str(), GENERIC_WRITE)) &&
           EncodeInto(stream.Get(), container, width, height, colourAt);
}

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
    // TIFF header, one directory with one entry (Orientation, SHORT, 1), no next directory.
    auto u16 = [&](int value) {
        return bigEndian ? std::string{static_cast<char>(value >> 8), static_cast<char>(value)}
                         : std::string{static_cast<char>(value), static_cast<char>(value >> 8)};
    };
    auto u32 = [&](int value) {
        return bigEndian ? u16(value >> 16) + u16(value & 0xFFFF)
                         : u16(value & 0xFFFF) + u16(value >> 16);
    };
    const std::string tiff = std::string(bigEndian ? "MM" : "II") + u16(42) + u32(8) + u16(1) +
                             u16(0x0112) + u16(3) + u32(1) + u16(orientation) + u16(0) + u32(0);
    return WithExifTiff(jpeg, tiff);
}

std::string WithExifCaptureTime(const std::string& jpeg, const std::string& dateTimeOriginal) {
    const auto u16 = LittleEndian16;
    const auto u32 = LittleEndian32;
    // Little-endian TIFF: IFD0 at 8 points to the EXIF directory at 26, whose one entry's
    // text lies at 44.
    std::string text = dateTimeOriginal;
    text.resize(20, '\0');
    const std::string tiff = std::string("II") + u16(42) + u32(8) +                        // header
                             u16(1) + u16(0x8769) + u16(4) + u32(1) + u32(26) + u32(0) +   // IFD0
                             u16(1) + u16(0x9003) + u16(2) + u32(20) + u32(44) + u32(0) +  // EXIF
                             text;
    return WithExifTiff(jpeg, tiff);
}

std::string WithExifThumbnail(const std::string& jpeg, const std::string& thumbnail) {
    const auto u16 = LittleEndian16;
    const auto u32 = LittleEndian32;
    // Little-endian TIFF: IFD0 at 8 (Orientation 1, so the photo is upright) links to IFD1
    // at 26, whose JPEGInterchangeFormat points to the thumbnail right after it, at 68.
    const std::string header = std::string("II") + u16(42) + u32(8);
    const std::string ifd0 = u16(1) + u16(0x0112) + u16(3) + u32(1) + u16(1) + u16(0) + u32(26);
    const std::string ifd1 = u16(3) + u16(0x0103) + u16(3) + u32(1) + u16(6) + u16(0) +
                             u16(0x0201) + u16(4) + u32(1) + u32(68) + u16(0x0202) + u16(4) +
                             u32(1) + u32(static_cast<int>(thumbnail.size())) + u32(0);
    const std::string tiff = header + ifd0 + ifd1 + thumbnail;
    return WithExifTiff(jpeg, tiff);
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
