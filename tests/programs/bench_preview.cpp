// Measures the photo preview of the real zemo.exe, in one run on one display:
//   stepping  - Down pressed once a second through a folder of 24-megapixel JPEGs: the
//               time from the key until the next photo's own colour is at the centre of
//               the pane on the screen (median and worst);
//   bare      - the imaging component's plain decode of the same files at full size in
//               this process (decoder, frame, conversion to 32-bit pixels), the baseline;
//   pane size - the program's own decode of the same files fitted to the pane, alone;
//   RAW       - a 30 MB NEF around the first 6000 x 4000 JPEG: the bytes read to show it,
//               and the program's decode of it fitted to the pane (cold: nothing cached)
//               beside the bare decode of the same JPEG;
//   memory    - zemo.exe's peak resident memory with the folder of a 100-megapixel PNG
//               listed (the baseline), and after that photo is shown.
// Usage: bench_preview.exe <jpeg folder> <png folder> [steps]
// Creates the photos on first use (each JPEG has a colour of its own in its middle).
#include <windows.h>
#include <shellapi.h>
#include <wincodec.h>
#include <wrl/client.h>

#include <algorithm>
#include <cstdlib>
#include <optional>
#include <cstdio>
#include <string>
#include <vector>

#include "app/metadata/raw_previews.h"
#include "app/preview/file_byte_source.h"
#include "app/preview/image_decoder.h"
#include "app/preview/image_pane.h"
#include "tests/support/bench_timing.h"
#include "tests/support/image_files.h"
#include "tests/support/input.h"
#include "tests/support/raw_files.h"
#include "tests/support/zemo_app.h"

using Microsoft::WRL::ComPtr;

namespace {

constexpr int kPhotoWidth = 6000, kPhotoHeight = 4000;
constexpr int kPngSide = 10000;
constexpr COLORREF kPngColour = RGB(40, 160, 90);

// The colour in the middle of photo `index`; neighbours differ clearly.
COLORREF PhotoColour(int index) {
    return RGB(40 + index * 53 % 200, 40 + index * 97 % 200, 40 + index * 151 % 200);
}

std::wstring PhotoName(int index, const wchar_t* extension = L"jpg") {
    wchar_t name[32];
    swprintf(name, 32, L"photo-%03d.%ls", index, extension);
    return name;
}

// A photo-like picture: a gradient with grain, and a block of the photo's colour.
COLORREF PhotoPixel(int index, int x, int y) {
    if (std::abs(x - kPhotoWidth / 2) < 600 && std::abs(y - kPhotoHeight / 2) < 600)
        return PhotoColour(index);
    const unsigned grain = (static_cast<unsigned>(x) * 2654435761u ^ y * 40503u) >> 27;
    return RGB((x / 24 + grain) & 0xFF, (y / 16 + grain) & 0xFF, ((x + y) / 40) & 0xFF);
}

bool CreatePhotos(const std::wstring& folder, int count) {
    CreateDirectoryW(folder.c_str(), nullptr);
    for (int i = 0; i < count; ++i) {
        const std::wstring path = folder + L"\\" + PhotoName(i);
        if (!FileExists(path) &&
            !WriteImage(path, GUID_ContainerFormatJpeg, kPhotoWidth, kPhotoHeight,
                        [i](int x, int y) { return PhotoPixel(i, x, y); }))
            return false;
    }
    return true;
}

// One pixel of the screen.
COLORREF ScreenPixel(POINT point) {
    const HDC screen = GetDC(nullptr);
    const COLORREF colour = GetPixel(screen, point.x, point.y);
    ReleaseDC(nullptr, screen);
    return colour;
}

POINT PaneCentre(HWND pane) {
    RECT client;
    GetClientRect(pane, &client);
    POINT centre = {client.right / 2, client.bottom / 2};
    ClientToScreen(pane, &centre);
    return centre;
}

int IndexOfName(const std::wstring& name) {
    return _wtoi(name.substr(6, 3).c_str());
}

// The key-to-photo times of each step, in milliseconds (-1 for a step never shown).
std::vector<double> StepThroughPhotos(const std::wstring& folder, int photos, int steps) {
    std::vector<double> times;
    ZemoApp app;
    if (!app.Start() || !app.LoadDirectory(folder, photos))
        return times;
    const std::vector<std::wstring> names = app.FileList().Column(1);
    const HWND pane = FindWindowExW(app.MainWindow(), nullptr, kImagePaneClass, nullptr);
    if (!pane || !app.ClickFileRow(0))
        return times;
    const COLORREF first = PhotoColour(IndexOfName(names[0]));
    if (!WaitUntil([&] { return NearColour(ScreenPixel(PaneCentre(pane)), first, 24); }))
        return times;
    Sleep(1000);
    for (int row = 1; row <= steps && row < static_cast<int>(names.size()); ++row) {
        const COLORREF expected = PhotoColour(IndexOfName(names[row]));
        const POINT centre = PaneCentre(pane);
        const LARGE_INTEGER pressed = Now();
        PressKeys({VK_DOWN});
        double shown = -1;
        while (Milliseconds(pressed, Now()) < 10000) {
            if (NearColour(ScreenPixel(centre), expected, 24)) {
                shown = Milliseconds(pressed, Now());
                break;
            }
            Sleep(1);
        }
        times.push_back(shown);
        const double elapsed = Milliseconds(pressed, Now());
        if (elapsed < 1000)
            Sleep(static_cast<DWORD>(1000 - elapsed));
    }
    app.Close();
    return times;
}

// The imaging component's own full-size decode of each file, and the program's decode at
// the pane's size, in milliseconds.
void DecodeTimes(const std::wstring& folder, int photos, std::vector<double>& bare,
                 std::vector<double>& paneSize) {
    ComPtr<IWICImagingFactory> factory;
    if (FAILED(CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER,
                                IID_PPV_ARGS(&factory))))
        return;
    std::vector<BYTE> pixels(static_cast<size_t>(kPhotoWidth) * kPhotoHeight * 4);
    for (int i = 0; i < photos; ++i) {
        const std::wstring path = folder + L"\\" + PhotoName(i);
        const LARGE_INTEGER start = Now();
        ComPtr<IWICBitmapDecoder> decoder;
        ComPtr<IWICBitmapFrameDecode> frame;
        ComPtr<IWICFormatConverter> converter;
        if (FAILED(factory->CreateDecoderFromFilename(path.c_str(), nullptr, GENERIC_READ,
                                                      WICDecodeMetadataCacheOnDemand, &decoder)) ||
            FAILED(decoder->GetFrame(0, &frame)) ||
            FAILED(factory->CreateFormatConverter(&converter)) ||
            FAILED(converter->Initialize(frame.Get(), GUID_WICPixelFormat32bppBGRA,
                                         WICBitmapDitherTypeNone, nullptr, 0.0,
                                         WICBitmapPaletteTypeCustom)) ||
            FAILED(converter->CopyPixels(nullptr, kPhotoWidth * 4, static_cast<UINT>(pixels.size()),
                                         pixels.data())))
            continue;
        bare.push_back(Milliseconds(start, Now()));
        const LARGE_INTEGER fitted = Now();
        if (DecodePreview(factory.Get(), path, {361, 588}).value_or(PreviewImage()).Decoded())
            paneSize.push_back(Milliseconds(fitted, Now()));
    }
}

// A NEF of at least `size` bytes around the JPEG file's bytes.
bool WriteNef(const std::wstring& jpegPath, const std::wstring& nefPath, size_t size) {
    const std::optional<std::string> jpeg = ReadFileBytes(jpegPath);
    return jpeg && WriteFileBytes(
                       nefPath, NefBytes(*jpeg, 1, size > jpeg->size() ? size - jpeg->size() : 0));
}

// The photos again, each as the JPEG inside a NEF with 4 MB of filler after it.
bool CreateRawPhotos(const std::wstring& jpegs, const std::wstring& folder, int count) {
    CreateDirectoryW(folder.c_str(), nullptr);
    for (int i = 0; i < count; ++i) {
        const std::wstring path = folder + L"\\" + PhotoName(i, L"nef");
        if (!FileExists(path) && !WriteNef(jpegs + L"\\" + PhotoName(i), path, 4u << 20))
            return false;
    }
    return true;
}

// The bytes a RAW preview reads, and the program's cold decode of the NEF at the pane's
// size beside `bareMedian`, the bare decode of the JPEG inside it.
bool RawFigures(const std::wstring& jpegs, double bareMedian) {
    const std::wstring folder = jpegs + L"-large-raw", nef = folder + L"\\large.nef";
    CreateDirectoryW(folder.c_str(), nullptr);
    if (!FileExists(nef) && !WriteNef(jpegs + L"\\" + PhotoName(0), nef, 30u << 20))
        return false;
    FileByteSource source(nef);
    const RawPreviews previews = FindRawPreviews(source);
    std::vector<uint8_t> jpeg(previews.largest ? previews.largest->length : 0);
    if (!previews.largest || !source.Read(previews.largest->offset, jpeg.size(), jpeg.data()))
        return false;
    std::printf("RAW preview of a %.0f MB NEF: %llu bytes read, the JPEG's %zu and %.1f KB more\n",
                source.Size() / 1048576.0, static_cast<unsigned long long>(source.BytesRead()),
                jpeg.size(), (source.BytesRead() - jpeg.size()) / 1024.0);
    ComPtr<IWICImagingFactory> factory;
    if (FAILED(CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER,
                                IID_PPV_ARGS(&factory))))
        return false;
    std::vector<double> cold;
    for (int i = 0; i < 5; ++i) {
        const LARGE_INTEGER start = Now();
        if (DecodePreview(factory.Get(), nef, {361, 588}).value_or(PreviewImage()).Decoded())
            cold.push_back(Milliseconds(start, Now()));
    }
    std::printf(
        "  decoded fitted to the pane, cold: median %7.1f ms   bare decode of its JPEG "
        "%7.1f ms   (RAW / bare: %.2f, RAW - bare: %+.1f ms)\n",
        Median(cold), bareMedian, bareMedian > 0 ? Median(cold) / bareMedian : 0.0,
        Median(cold) - bareMedian);
    return !cold.empty();
}

// zemo.exe's peak memory with the PNG's folder listed, before and after the PNG is shown,
// in megabytes; both 0 when the photo never showed.
std::pair<double, double> PngPeakMemory(const std::wstring& folder) {
    ZemoApp app;
    if (!app.Start() || !app.LoadDirectory(folder, 1))
        return {0, 0};
    const HWND pane = FindWindowExW(app.MainWindow(), nullptr, kImagePaneClass, nullptr);
    const double before = app.PeakMegabytes();
    if (!pane || !app.ClickFileRow(0) ||
        !WaitUntil([&] { return NearColour(ScreenPixel(PaneCentre(pane)), kPngColour, 8); },
                   120000))
        return {0, 0};
    const double after = app.PeakMegabytes();
    app.Close();
    return {before, after};
}

}  // namespace

int main() {
    const std::vector<std::wstring> args = CommandLineWords();
    if (args.size() < 3)
        return WrongUsage("bench_preview <jpeg folder> <png folder> [steps]");
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    const std::wstring jpegs = args[1], pngs = args[2];
    const int steps = args.size() > 3 ? std::max(1, _wtoi(args[3].c_str())) : 50;
    const int photos = steps + 1;
    const std::wstring png = pngs + L"\\large.png";
    CreateDirectoryW(pngs.c_str(), nullptr);
    if (!CreatePhotos(jpegs, photos) ||
        (!FileExists(png) &&
         !WriteSolidImage(png, GUID_ContainerFormatPng, kPngSide, kPngSide, kPngColour))) {
        std::fprintf(stderr, "could not write the photos\n");
        return 1;
    }

    std::vector<double> bare, paneSize;
    DecodeTimes(jpegs, photos, bare, paneSize);
    const std::vector<double> times = StepThroughPhotos(jpegs, photos, steps);
    const bool allShown =
        !times.empty() && std::none_of(times.begin(), times.end(), [](double t) { return t < 0; });
    const double worst = times.empty() ? 0 : *std::max_element(times.begin(), times.end());
    std::printf(
        "Down to the next photo on screen, %zu steps through %d x %d JPEGs, one a second:\n",
        times.size(), kPhotoWidth, kPhotoHeight);
    const auto prompt =
        std::count_if(times.begin(), times.end(), [](double t) { return t >= 0 && t <= 50; });
    std::printf("  median %7.1f ms   worst %7.1f ms   %d of %zu within 50 ms%s\n", Median(times),
                worst, static_cast<int>(prompt), times.size(),
                allShown ? "" : "   (some steps never showed their photo)");
    std::printf(
        "WIC's bare full-size decode of the same files: median %7.1f ms"
        "   (step median / bare decode: %.2f)\n",
        Median(bare), Median(bare) > 0 ? Median(times) / Median(bare) : 0.0);
    std::printf("zemo's own decode fitted to the pane, alone:   median %7.1f ms\n",
                Median(paneSize));

    const bool rawShown = RawFigures(jpegs, Median(bare));
    const std::wstring raws = jpegs + L"-raw";
    const std::vector<double> rawTimes = CreateRawPhotos(jpegs, raws, std::min(photos, 41))
                                             ? StepThroughPhotos(raws, std::min(photos, 41), 40)
                                             : std::vector<double>();
    std::printf(
        "Down to the next RAW's embedded JPEG on screen, %zu steps through NEFs, one a "
        "second (prefetched): median %7.1f ms   worst %7.1f ms\n",
        rawTimes.size(), Median(rawTimes),
        rawTimes.empty() ? 0.0 : *std::max_element(rawTimes.begin(), rawTimes.end()));
    const auto [before, after] = PngPeakMemory(pngs);
    std::printf("peak memory of zemo.exe, %d x %d PNG: %.0f MB listed, %.0f MB shown\n", kPngSide,
                kPngSide, before, after);
    return allShown && rawShown && after > 0 ? 0 : 1;
}
