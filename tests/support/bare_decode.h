// The baseline of the preview benchmarks: the imaging component's own full-size decode of a
// file to 32-bit pixels, with nothing of the program in between.
#pragma once

#include <wincodec.h>

#include <string>

// Milliseconds to decode the file whole; -1 when it cannot be decoded.
double BareDecodeMs(IWICImagingFactory* factory, const std::wstring& path);
