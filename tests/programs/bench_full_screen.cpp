// Measures full screen and the 1:1 zoom of the real zemo.exe, each figure beside the imaging
// component's bare full-size decode of the same file in this run:
//   full screen - F11 until the monitor shows the focused 24-megapixel JPEG fitted on black,
//                 and Esc until the window's pane shows it again, over several rounds;
//   1:1         - Z over the photo until its own pixels show at 1:1 (one-pixel stripes
//                 alternating around the pointer, and no note in the corner): first while
//                 its full decode is still to be made, then, once it exists, Z back to fit
//                 and Z to 1:1 again over several rounds, in the pane and in full screen;
//   memory      - zemo.exe's peak resident memory fitted, then zoomed while stepping through
//                 the 24-megapixel photos (each next one's own pixels decoded ahead), and
//                 for a 10000 x 10000 PNG fitted and zoomed, with the note the corner shows.
// Usage: bench_full_screen.exe <folder of JPEGs> <folder of the PNG>
// Creates the photos on first use and keeps them. Prints figures only: no target is checked.
#include <windows.h>
#include <shellapi.h>
#include <wincodec.h>
#include <wrl/client.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "app/preview/image_pane.h"
#include "tests/support/bare_decode.h"
#include "tests/support/bench_timing.h"
#include "tests/support/desktop.h"
#include "tests/support/image_files.h"
#include "tests/support/input.h"
#include "tests/support/pace_photos.h"
#include "tests/support/zemo_app.h"
#include "tests/support/zoom_pixels.h"

using Microsoft::WRL::ComPtr;

namespace {

constexpr int kWidth = 6000, kHeight = 4000, kPhotos = 6;
constexpr int kPngSide = 10000;
constexpr COLORREF kPngColour = RGB(40, 160, 90);
constexpr int kRounds = 5;

// Colours far from black, white, the stripes and the pane's grey, and from each other.
COLORREF PhotoColour(int index) {
    static const COLORREF colours[] = {RGB(40, 160, 90),  RGB(200, 60, 50),  RGB(50, 90, 200),
                                       RGB(210, 170, 40), RGB(150, 60, 170), RGB(60, 170, 180)};
    return colours[index % 6];
}

// A camera's grain (so the photo decodes as slowly as one), the photo's colour over its
// middle half, and one-pixel vertical stripes at its centre.
COLORREF PhotoPixel(int index, int x, int y) {
    const int dx = std::abs(x - kWidth / 2), dy = std::abs(y - kHeight / 2);
    if (dx < kWidth / 20 && dy < kHeight / 20)
        return x % 2 ? RGB(255, 255, 255) : RGB(0, 0, 0);
    if (dx < kWidth / 4 && dy < kHeight / 4)
        return PhotoColour(index);
    const unsigned grain = (static_cast<unsigned>(x) * 2654435761u ^ y * 40503u) >> 27;
    return RGB((x / 24 + grain) & 0xFF, (y / 16 + grain) & 0xFF, ((x + y) / 40) & 0xFF);
}

bool WritePhotos(const std::wstring& jpegs, const std::wstring& png) {
    CreateDirectoryW(jpegs.c_str(), nullptr);
    for (int i = 0; i < kPhotos; ++i) {
        const std::wstring path = jpegs + L"\\" + PacePhotoName(i);
        if (!FileExists(path) && !WriteImage(path, GUID_ContainerFormatJpeg, kWidth, kHeight,
                                             [i](int x, int y) { return PhotoPixel(i, x, y); }))
            return false;
    }
    return FileExists(png) ||
           WriteSolidImage(png, GUID_ContainerFormatPng, kPngSide, kPngSide, kPngColour);
}

RECT PhotoAreaOnScreen(HWND pane) {
    RECT area = ImagePanePhotoArea(pane);
    MapWindowPoints(pane, HWND_DESKTOP, reinterpret_cast<POINT*>(&area), 2);
    return area;
}

POINT Centre(const RECT& area) {
    return {(area.left + area.right) / 2, (area.top + area.bottom) / 2};
}

// Where the point at these fractions of the photo lands when the photo is fitted into the
// area, never enlarged.
POINT FittedPoint(const RECT& area, SIZE photo, double x, double y) {
    const double width = area.right - area.left, height = area.bottom - area.top;
    const double scale = std::min({width / photo.cx, height / photo.cy, 1.0});
    const POINT centre = Centre(area);
    return {static_cast<LONG>(centre.x + (x - 0.5) * photo.cx * scale),
            static_cast<LONG>(centre.y + (y - 0.5) * photo.cy * scale)};
}

bool ScreenNear(POINT point, COLORREF colour, int tolerance = 40) {
    return NearColour(ScreenShot(RECT{point.x, point.y, point.x + 1, point.y + 1}).At(0, 0), colour,
                      tolerance);
}

// The photo fitted: its colour all around the stripes, where at 1:1 the stripes are.
bool ShowsFitted(const RECT& area, SIZE photo, COLORREF colour) {
    return ScreenNear(FittedPoint(area, photo, 0.35, 0.5), colour) &&
           ScreenNear(FittedPoint(area, photo, 0.65, 0.5), colour) &&
           ScreenNear(FittedPoint(area, photo, 0.5, 0.35), colour) &&
           ScreenNear(FittedPoint(area, photo, 0.5, 0.65), colour);
}

// The photo's own pixels at 1:1 around the area's centre, where the pointer is: the stripes
// one by one, and its colour in the corner where a note would be.
bool ShowsOwnPixels(const RECT& area, COLORREF colour) {
    const POINT centre = Centre(area);
    const ScreenShot row(RECT{centre.x - 8, centre.y, centre.x + 9, centre.y + 1});
    return AlternatesOneByOne(row, {8, 0}, true) &&
           ReadCornerNote({area.left, area.top}, colour) == CornerNote::none;
}

// Milliseconds from pressing the key until `shown` holds; -1 at the limit.
double TimeKey(WORD key, double limitMs, const std::function<bool()>& shown) {
    const LARGE_INTEGER pressed = Now();
    PressKeys({key});
    return MsUntil(pressed, limitMs, shown);
}

// zemo.exe on a folder of photos, the first one focused and shown fitted in the pane.
class Session {
  public:
    bool Open(const std::wstring& folder, int photos, SIZE photo,
              const std::function<COLORREF(const std::wstring& name)>& colourOf) {
        photo_ = photo;
        if (!app_.Start() || !app_.LoadDirectory(folder, photos))
            return false;
        for (const std::wstring& name : app_.FileList().Column(1))
            colours_.push_back(colourOf(name));
        pane_ = FindWindowExW(app_.MainWindow(), nullptr, kImagePaneClass, nullptr);
        if (!pane_ || !app_.ClickFileRow(0))
            return false;
        windowArea_ = PhotoAreaOnScreen(pane_);
        // Full screen: the pane covers the monitor, its facts line as high as in the window.
        RECT client = {};
        GetClientRect(pane_, &client);
        MONITORINFO monitor = {sizeof(monitor)};
        GetMonitorInfoW(MonitorFromWindow(app_.MainWindow(), MONITOR_DEFAULTTONEAREST), &monitor);
        fullArea_ = monitor.rcMonitor;
        fullArea_.bottom -= client.bottom - (windowArea_.bottom - windowArea_.top);
        return WaitUntil([&] { return Fitted(windowArea_, 0); }, 120000) && Settle();
    }
    COLORREF Colour(int row) const { return colours_[row]; }
    const RECT& WindowArea() const { return windowArea_; }
    const RECT& FullArea() const { return fullArea_; }
    bool InFullScreen() const { return WindowClass(GetParent(pane_)) == L"ZemoFullScreen"; }
    bool Fitted(const RECT& area, int row) const {
        return ShowsFitted(area, photo_, colours_[row]);
    }
    // Full screen with the photo fitted on black beside it.
    bool FullScreenFitted(int row) const {
        const POINT side = {fullArea_.left + 2, Centre(fullArea_).y};
        return InFullScreen() && Fitted(fullArea_, row) && ScreenNear(side, RGB(0, 0, 0), 8);
    }
    bool WindowFitted(int row) const { return !InFullScreen() && Fitted(windowArea_, row); }
    // Waits until no decode has started for a while, so the next figure has the processor.
    bool Settle() const { return SettledDecodes(pane_).has_value(); }
    // Waits until no decode has started for `quietMs`: longer than a decode takes, so the
    // decodes ahead are done.
    bool Rest(double quietMs) const {
        std::optional<int> last = DecodesStarted(pane_);
        LARGE_INTEGER since = Now();
        return WaitUntil(
            [&] {
                const std::optional<int> now = DecodesStarted(pane_);
                if (now != last) {
                    last = now;
                    since = Now();
                }
                return last && Milliseconds(since, Now()) >= quietMs;
            },
            300000);
    }
    double PeakMegabytes() { return app_.PeakMegabytes(); }

  private:
    ZemoApp app_;
    HWND pane_ = nullptr;
    SIZE photo_ = {};
    RECT windowArea_ = {}, fullArea_ = {};
    std::vector<COLORREF> colours_;
};

COLORREF ColourOfName(const std::wstring& name) {
    return PhotoColour(PacePhotoIndex(name));
}

// The notes as UTF-8 whatever the program's own texts are encoded in.
const char* Utf8(const char8_t* text) {
    return reinterpret_cast<const char*>(text);
}

std::wstring Times(const std::vector<double>& times) {
    std::wstring text;
    for (const double time : times) {
        wchar_t one[32];
        swprintf(one, 32, L"%s%.0f", text.empty() ? L"" : L", ", time);
        text += one;
    }
    return text;
}

void PrintRounds(const char* what, const std::vector<double>& times, double bare) {
    const double median = Median(times);
    std::printf("  %-34s %ls ms: median %6.1f ms = %.3f bare decodes\n", what, Times(times).c_str(),
                median, bare > 0 ? median / bare : 0.0);
}

bool FullScreenAndZoomFigures(const std::wstring& jpegs, double bare) {
    Session session;
    if (!session.Open(jpegs, kPhotos, {kWidth, kHeight}, ColourOfName))
        return false;
    constexpr double kLimit = 20000;
    std::vector<double> enter, leave;
    for (int round = 0; round < kRounds; ++round) {
        enter.push_back(TimeKey(VK_F11, kLimit, [&] { return session.FullScreenFitted(0); }));
        session.Settle();
        leave.push_back(TimeKey(VK_ESCAPE, kLimit, [&] { return session.WindowFitted(0); }));
        session.Settle();
    }
    const RECT &pane = session.WindowArea(), &full = session.FullArea();
    std::printf(
        "full screen, %d x %d JPEG focused (%d rounds; the pane's photo area %ld x %ld, "
        "the monitor's %ld x %ld):\n",
        kWidth, kHeight, kRounds, pane.right - pane.left, pane.bottom - pane.top,
        full.right - full.left, full.bottom - full.top);
    PrintRounds("F11 to the monitor showing it:", enter, bare);
    PrintRounds("Esc to the window's pane again:", leave, bare);

    MoveMouseTo(Centre(pane));
    const double first =
        TimeKey('Z', 120000, [&] { return ShowsOwnPixels(pane, session.Colour(0)); });
    session.Settle();
    std::vector<double> toFit, toOne;
    for (int round = 0; round < kRounds; ++round) {
        toFit.push_back(TimeKey('Z', kLimit, [&] { return session.WindowFitted(0); }));
        toOne.push_back(
            TimeKey('Z', kLimit, [&] { return ShowsOwnPixels(pane, session.Colour(0)); }));
    }
    std::printf("1:1 zoom in the pane (pointer over the photo's centre):\n");
    std::printf("  first Z, its own pixels decoded then: %7.1f ms = %.2f bare decodes (%.1f ms)\n",
                first, bare > 0 ? first / bare : 0.0, bare);
    PrintRounds("Z to 1:1, own pixels decoded:", toOne, bare);
    PrintRounds("Z back to fit:", toFit, bare);
    const bool fitted = TimeKey('Z', kLimit, [&] { return session.WindowFitted(0); }) >= 0;

    const bool entered = TimeKey(VK_F11, kLimit, [&] { return session.FullScreenFitted(0); }) >= 0;
    session.Settle();
    MoveMouseTo(Centre(full));
    std::vector<double> fullToOne, fullToFit;
    for (int round = 0; round < kRounds; ++round) {
        fullToOne.push_back(
            TimeKey('Z', kLimit, [&] { return ShowsOwnPixels(full, session.Colour(0)); }));
        fullToFit.push_back(TimeKey('Z', kLimit, [&] { return session.FullScreenFitted(0); }));
    }
    std::printf("1:1 zoom in full screen:\n");
    PrintRounds("Z to 1:1, own pixels decoded:", fullToOne, bare);
    PrintRounds("Z back to fit:", fullToFit, bare);
    const bool left = TimeKey(VK_ESCAPE, kLimit, [&] { return session.WindowFitted(0); }) >= 0;
    const auto shown = [](const std::vector<double>& times) {
        return std::none_of(times.begin(), times.end(), [](double t) { return t < 0; });
    };
    return first >= 0 && fitted && entered && left && shown(enter) && shown(leave) &&
           shown(toOne) && shown(toFit) && shown(fullToOne) && shown(fullToFit);
}

bool SteppingMemory(const std::wstring& jpegs, double bare) {
    Session session;
    if (!session.Open(jpegs, kPhotos, {kWidth, kHeight}, ColourOfName))
        return false;
    const double fitted = session.PeakMegabytes();
    const RECT& pane = session.WindowArea();
    MoveMouseTo(Centre(pane));
    bool complete =
        TimeKey('Z', 120000, [&] { return ShowsOwnPixels(pane, session.Colour(0)); }) >= 0;
    session.Rest(2 * bare);
    std::vector<double> steps;
    for (int row = 1; row < kPhotos; ++row) {
        steps.push_back(
            TimeKey(VK_DOWN, 120000, [&] { return ShowsOwnPixels(pane, session.Colour(row)); }));
        complete = complete && steps.back() >= 0 && session.Rest(2 * bare);
    }
    const double zoomed = session.PeakMegabytes();
    std::printf(
        "stepping at 1:1 through the JPEGs, each step once no decode has started for "
        "two bare decodes:\n");
    std::printf("  Down to the next photo's own pixels (decoded ahead): %ls ms\n",
                Times(steps).c_str());
    std::printf(
        "  peak memory of zemo.exe: %.0f MB fitted, %.0f MB after zooming through %d photos "
        "(one photo's own pixels: %.0f MB)\n",
        fitted, zoomed, kPhotos, kWidth * kHeight * 4 / 1048576.0);
    return complete;
}

bool LargePngMemory(const std::wstring& folder, double barePng) {
    Session session;
    if (!session.Open(folder, 1, {kPngSide, kPngSide},
                      [](const std::wstring&) { return kPngColour; }))
        return false;
    const double fitted = session.PeakMegabytes();
    const RECT& pane = session.WindowArea();
    MoveMouseTo(Centre(pane));
    bool loadingSeen = false;
    CornerNote note = CornerNote::other;
    const double zoomed = TimeKey('Z', 600000, [&] {
        note = ReadCornerNote({pane.left, pane.top}, kPngColour);
        loadingSeen = loadingSeen || note == CornerNote::loading;
        return note == CornerNote::none || note == CornerNote::reduced;
    });
    session.Settle();
    const double peak = session.PeakMegabytes();
    std::printf("%d x %d PNG zoomed to 1:1:\n", kPngSide, kPngSide);
    std::printf("  Z to its own pixels: %.0f ms (bare decode %.0f ms); the corner showed %s%s\n",
                zoomed, barePng,
                note == CornerNote::reduced ? Utf8(u8"\"已缩小显示\"") : "no note (not reduced)",
                loadingSeen ? Utf8(u8", after \"正在载入原图…\"") : "");
    std::printf(
        "  peak memory of zemo.exe: %.0f MB fitted, %.0f MB zoomed (the photo's pixels: "
        "%.0f MB; reduced to 8192 x 8192: %.0f MB)\n",
        fitted, peak, 1e8 * 4 / 1048576.0, 8192.0 * 8192 * 4 / 1048576.0);
    return zoomed >= 0;
}

}  // namespace

int main() {
    const std::vector<std::wstring> args = CommandLineWords();
    if (args.size() < 3)
        return WrongUsage("bench_full_screen <folder of JPEGs> <folder of the PNG>");
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    const std::wstring jpegs = args[1], pngs = args[2], png = pngs + L"\\large.png";
    CreateDirectoryW(pngs.c_str(), nullptr);
    if (!WritePhotos(jpegs, png)) {
        std::fprintf(stderr, "could not write the photos\n");
        return 1;
    }
    ComPtr<IWICImagingFactory> factory;
    if (FAILED(CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER,
                                IID_PPV_ARGS(&factory))))
        return 1;
    std::vector<double> bares;
    for (int i = 0; i < 3; ++i)
        bares.push_back(BareDecodeMs(factory.Get(), jpegs + L"\\" + PacePhotoName(0)));
    const double bare = Median(bares);
    const double barePng = BareDecodeMs(factory.Get(), png);
    std::printf(
        "bare WIC decode, full size: %d x %d JPEG median of 3 %.1f ms; %d x %d PNG %.0f ms\n",
        kWidth, kHeight, bare, kPngSide, kPngSide, barePng);
    bool complete = FullScreenAndZoomFigures(jpegs, bare);
    complete = SteppingMemory(jpegs, bare) && complete;
    complete = LargePngMemory(pngs, barePng) && complete;
    return complete ? 0 : 1;
}
