#include "app/preview/zoomed_drawing.h"

#include <algorithm>
#include <cmath>

namespace {

// For each view column (or row), the source column it shows; -1 outside the photo.
std::vector<int32_t> SourceIndices(int32_t viewLength, double start, double length,
                                   int32_t sourceLength) {
    std::vector<int32_t> indices(static_cast<size_t>(viewLength), -1);
    if (length <= 0)
        return indices;
    // Multiplied before divided: at 1:1 and above a pixel centre on a photo pixel's edge
    // gives that pixel's exact number, where a fraction of the length rounded to the pixel
    // before it and showed one photo pixel twice.
    for (int32_t at = 0; at < viewLength; ++at) {
        const double offset = at + 0.5 - start;
        if (offset >= 0 && offset < length)
            indices[at] = std::min(
                sourceLength - 1, static_cast<int32_t>(std::floor(offset * sourceLength / length)));
    }
    return indices;
}

}  // namespace

BITMAPINFO TopDownBitmapInfo(int32_t width, int32_t height) {
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;  // top-down rows
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    return info;
}

std::vector<uint32_t> SampleZoomed(const PreviewImage& source, const ZoomPlacement& place,
                                   ZoomSize area, uint32_t background) {
    std::vector<uint32_t> pixels(
        static_cast<size_t>(std::max(0, area.width)) * std::max(0, area.height), background);
    if (!source.Decoded())
        return pixels;
    const std::vector<int32_t> columns =
        SourceIndices(area.width, place.left, place.width, source.width);
    const std::vector<int32_t> rows =
        SourceIndices(area.height, place.top, place.height, source.height);
    for (int32_t y = 0; y < area.height; ++y) {
        if (rows[y] < 0)
            continue;
        const uint32_t* from = source.pixels.data() + static_cast<size_t>(rows[y]) * source.width;
        uint32_t* to = pixels.data() + static_cast<size_t>(y) * area.width;
        for (int32_t x = 0; x < area.width; ++x)
            if (columns[x] >= 0)
                to[x] = from[columns[x]];
    }
    return pixels;
}

void DrawZoomed(HDC dc, const PreviewImage& source, const ZoomView& view, RECT area,
                COLORREF background, const wchar_t* corner) {
    const ZoomSize size = {area.right - area.left, area.bottom - area.top};
    const PixelSize photo =
        source.photoSize.width > 0 ? source.photoSize : PixelSize{source.width, source.height};
    const ZoomPlacement place = PlaceZoomed(view, size, {photo.width, photo.height});
    const uint32_t backgroundPixel = static_cast<uint32_t>(GetRValue(background)) << 16 |
                                     static_cast<uint32_t>(GetGValue(background)) << 8 |
                                     GetBValue(background);
    const std::vector<uint32_t> pixels = SampleZoomed(source, place, size, backgroundPixel);
    const BITMAPINFO info = TopDownBitmapInfo(size.width, size.height);
    SetDIBitsToDevice(dc, area.left, area.top, size.width, size.height, 0, 0, 0, size.height,
                      pixels.data(), &info, DIB_RGB_COLORS);
    if (!corner)
        return;
    const HGDIOBJ oldFont = SelectObject(dc, GetStockObject(DEFAULT_GUI_FONT));
    SetBkMode(dc, OPAQUE);
    SetBkColor(dc, RGB(0, 0, 0));
    SetTextColor(dc, RGB(230, 230, 230));
    TextOutW(dc, area.left + 6, area.top + 6, corner, static_cast<int>(wcslen(corner)));
    SelectObject(dc, oldFont);
}
