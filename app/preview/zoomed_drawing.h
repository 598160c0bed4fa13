// Drawing a zoomed photo: the part of it in the view, each view pixel taken from the nearest
// source pixel, so at 400 % the photo's pixels show as squares, not smoothed.
#pragma once

#include <windows.h>

#include <cstdint>
#include <vector>

#include "app/preview/image_decoder.h"
#include "app/preview/zoom_view.h"

// The header of a 32-bit DIB with rows top-down, as PreviewImage keeps its pixels.
BITMAPINFO TopDownBitmapInfo(int32_t width, int32_t height);

// The view's pixels (rows top-down, 0x00RRGGBB): the source where the placement puts the
// photo, the background elsewhere. The source may have fewer pixels than the photo it
// stands for (a reduced decode, a placeholder): it is stretched over the placement.
std::vector<uint32_t> SampleZoomed(const PreviewImage& source, const ZoomPlacement& place,
                                   ZoomSize area, uint32_t background);

// Draws the photo at `view` into `area`, and `corner` (when given) at its top left.
void DrawZoomed(HDC dc, const PreviewImage& source, const ZoomView& view, RECT area,
                COLORREF background, const wchar_t* corner);
