// Measures how the preview of the real zemo.exe keeps up with the hand, each figure beside
// the imaging component's bare full-size decode of the same files in this run:
//   5 a second - Down pressed five times a second through forty 24-megapixel JPEGs with
//                EXIF thumbnails: the time from each press until the right photo (its
//                thumbnail or itself) is at the pane's centre, as the median; and the time
//                from the last press until the photo where the presses stop shows sharp
//                (its marker on the screen), as a ratio to one bare decode;
//   2 a second - the time from each press until the photo shows sharp, as the median;
//   holding    - Down held for 3 s (about 30 repeats a second) over 200 photos: decodes
//                started meanwhile and until the pane rests, by the pane's own counter;
//                the time from the release to the photo there and to its sharp image;
//   memory     - zemo.exe's peak resident memory in each of these runs.
// Usage: bench_pace.exe <folder of 40 large photos> <folder of 200 photos>
// Creates the photos on first use and keeps them. Prints figures only: no target is checked.
#include <windows.h>
#include <shellapi.h>
#include <wincodec.h>
#include <wrl/client.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/preview/image_pane.h"
#include "tests/support/bare_decode.h"
#include "tests/support/bench_timing.h"
#include "tests/support/image_files.h"
#include "tests/support/input.h"
#include "tests/support/pace_photos.h"
#include "tests/support/zemo_app.h"

using Microsoft::WRL::ComPtr;

namespace {

constexpr int kLargeWidth = 6000, kLargeHeight = 4000, kLargePhotos = 40;
constexpr int kHoldWidth = 1500, kHoldHeight = 1000, kHoldPhotos = 200;

// The median bare decode of the first `count` photos of the folder.
double BareDecodeMedian(const std::wstring& folder, int count) {
    ComPtr<IWICImagingFactory> factory;
    if (FAILED(CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER,
                                IID_PPV_ARGS(&factory))))
        return -1;
    std::vector<double> times;
    for (int i = 0; i < count; ++i)
        times.push_back(BareDecodeMs(factory.Get(), folder + L"\\" + PacePhotoName(i)));
    return Median(times);
}

// zemo.exe on a folder of photos, the first one focused and shown sharp.
class PaceSession {
  public:
    bool Open(const std::wstring& folder, int photos, int width, int height) {
        if (!app_.Start() || !app_.LoadDirectory(folder, photos))
            return false;
        for (const std::wstring& name : app_.FileList().Column(1))
            colours_.push_back(DistinctColour(PacePhotoIndex(name)));
        pane_ = FindWindowExW(app_.MainWindow(), nullptr, kImagePaneClass, nullptr);
        if (!pane_ || !app_.ClickFileRow(0))
            return false;
        points_ = PhotoPointsOnScreen(pane_, width, height);
        return WaitUntil([&] { return Sharp(0); }, 60000);
    }
    // The row's photo at the centre: its thumbnail or itself.
    bool Right(int row) const { return NearColour(ScreenPixel(points_.centre), colours_[row], 24); }
    bool Sharp(int row) const {
        return Right(row) &&
               NearColour(ScreenPixel(points_.marker), MarkerColour(colours_[row]), 24);
    }
    int SettledDecodes() const { return ::SettledDecodes(pane_).value_or(-1); }
    int Decodes() const { return DecodesStarted(pane_).value_or(-1); }
    double PeakMegabytes() { return app_.PeakMegabytes(); }

  private:
    ZemoApp app_;
    HWND pane_ = nullptr;
    PhotoPoints points_ = {};
    std::vector<COLORREF> colours_;
};

// Presses Down `steps` times, one every `intervalMs`; `eachStep` measures each step (its
// row and the press's time) and must return within the interval.
void PressDown(int steps, double intervalMs,
               const std::function<void(int row, LARGE_INTEGER pressed)>& eachStep) {
    for (int row = 1; row <= steps; ++row) {
        const LARGE_INTEGER pressed = Now();
        PressKeys({VK_DOWN});
        eachStep(row, pressed);
        const double left = intervalMs - Milliseconds(pressed, Now());
        if (left > 0)
            Sleep(static_cast<DWORD>(left));
    }
}

double Worst(const std::vector<double>& times) {
    return times.empty() ? -1 : *std::max_element(times.begin(), times.end());
}

}  // namespace

int main() {
    const std::vector<std::wstring> args = CommandLineWords();
    if (args.size() < 3)
        return WrongUsage("bench_pace <folder of large photos> <folder of photos>");
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    const std::wstring large = args[1], many = args[2];
    if (!WritePacePhotos(large, kLargePhotos, kLargeWidth, kLargeHeight, true) ||
        !WritePacePhotos(many, kHoldPhotos, kHoldWidth, kHoldHeight, true)) {
        std::fprintf(stderr, "could not write the photos\n");
        return 1;
    }
    const double bare = BareDecodeMedian(large, 5);
    const double bareSmall = BareDecodeMedian(many, 5);
    std::printf("bare WIC decode, full size: %d x %d median %7.1f ms; %d x %d median %6.1f ms\n",
                kLargeWidth, kLargeHeight, bare, kHoldWidth, kHoldHeight, bareSmall);
    bool complete = true;
    std::vector<double> peaks;

    {  // Five presses a second through the large photos.
        PaceSession session;
        complete = session.Open(large, kLargePhotos, kLargeWidth, kLargeHeight) && complete;
        std::vector<double> right;
        int late = 0, never = 0;
        PressDown(kLargePhotos - 1, 200, [&](int row, LARGE_INTEGER pressed) {
            const double shown = MsUntil(pressed, 190, [&] { return session.Right(row); });
            right.push_back(shown < 0 ? 190 : shown);
            late += shown < 0 || shown > 50 ? 1 : 0;
            never += shown < 0 ? 1 : 0;
        });
        const LARGE_INTEGER last = Now();
        const double sharp = MsUntil(last, 30000, [&] { return session.Sharp(kLargePhotos - 1); });
        std::printf("5 presses a second, %d steps through %d x %d JPEGs with thumbnails:\n",
                    kLargePhotos - 1, kLargeWidth, kLargeHeight);
        std::printf(
            "  press to the right photo: median %6.1f ms, worst %6.1f ms, %d of %zu "
            "later than 50 ms, %d of them not within the step (counted as 190)\n",
            Median(right), Worst(right), late, right.size(), never);
        std::printf("  last press to its sharp image: %7.1f ms = %.2f bare decodes (%.1f ms)\n",
                    sharp, bare > 0 ? sharp / bare : 0.0, bare);
        peaks.push_back(session.PeakMegabytes());
        complete = complete && sharp >= 0;
    }
    {  // Two presses a second.
        PaceSession session;
        complete = session.Open(large, kLargePhotos, kLargeWidth, kLargeHeight) && complete;
        constexpr int kSteps = 20;
        std::vector<double> sharp;
        PressDown(kSteps, 500, [&](int row, LARGE_INTEGER pressed) {
            const double shown = MsUntil(pressed, 490, [&] { return session.Sharp(row); });
            sharp.push_back(shown < 0 ? 490 : shown);
        });
        const auto prompt =
            std::count_if(sharp.begin(), sharp.end(), [](double t) { return t <= 50; });
        std::printf(
            "2 presses a second, %d steps: press to the sharp image: median %6.1f ms, "
            "worst %6.1f ms, %d within 50 ms (490 counts a step never sharp);"
            " bare decode %.1f ms\n",
            kSteps, Median(sharp), Worst(sharp), static_cast<int>(prompt), bare);
        peaks.push_back(session.PeakMegabytes());
    }
    {  // Holding Down over 200 photos.
        PaceSession session;
        complete = session.Open(many, kHoldPhotos, kHoldWidth, kHoldHeight) && complete;
        const int before = session.SettledDecodes();
        int repeats = 0;
        const LARGE_INTEGER start = Now();
        while (Milliseconds(start, Now()) < 3000 && repeats < kHoldPhotos - 1) {
            KeyDown(VK_DOWN);
            ++repeats;
            Sleep(33);
        }
        KeyUp(VK_DOWN);
        const LARGE_INTEGER released = Now();
        const int whileHeld = session.Decodes();
        const double right = MsUntil(released, 30000, [&] { return session.Right(repeats); });
        const double sharp = MsUntil(released, 30000, [&] { return session.Sharp(repeats); });
        const int after = session.SettledDecodes();
        std::printf(
            "holding Down 3 s (%d repeats) over %d photos of %d x %d: %d decodes started "
            "while held, %d until the pane rests\n",
            repeats, kHoldPhotos, kHoldWidth, kHoldHeight, whileHeld - before, after - before);
        std::printf(
            "  release to the photo there: %6.1f ms; to its sharp image: %6.1f ms = %.2f "
            "bare decodes (%.1f ms)\n",
            right, sharp, bareSmall > 0 ? sharp / bareSmall : 0.0, bareSmall);
        peaks.push_back(session.PeakMegabytes());
        complete = complete && before >= 0 && after >= 0 && sharp >= 0;
    }
    std::printf(
        "peak memory of zemo.exe (VmHWM): %.0f MB at 5 a second, %.0f MB at 2 a second, "
        "%.0f MB holding Down\n",
        peaks[0], peaks[1], peaks[2]);
    return complete ? 0 : 1;
}
