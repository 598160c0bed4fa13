// Measures, in-process, how the main window keeps up with its size and how fast the key
// legend draws, each against a baseline measured in the same run:
//   resize - the worst of 50 size changes of the real main window (SetWindowPos, which lays
//            it out in WM_SIZE) with 100,000 rows listed; the baseline is the same changes
//            of a bare window of the same frame;
//   legend - the worst of 20 drawings of the legend of 700 rules into a 1600 x 1000 area;
//            the baseline draws the same 700 texts one under another.
// Usage: bench_window.exe    prints one line: the times in milliseconds and the ratios.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "app/preview/key_legend.h"
#include "app/window/application.h"
#include "app/window/startup.h"
#include "tests/support/process.h"
#include "tests/support/bench_timing.h"
#include "ui/unique_handle.h"

namespace {

void Pump() {
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
}

// The worst of 50 size changes between sizes a little apart, the window painted between.
double WorstResize(HWND window) {
    double worst = 0;
    for (int i = 0; i < 50; ++i) {
        const int width = 1200 + (i % 2 ? 300 : 0) + i, height = 760 + (i % 2 ? 200 : 0) + i;
        const LARGE_INTEGER start = Now();
        SetWindowPos(window, nullptr, 0, 0, width, height, SWP_NOMOVE | SWP_NOZORDER);
        worst = std::max(worst, Milliseconds(start, Now()));
        Pump();
    }
    return worst;
}

template <typename Draw>
double WorstDrawing(Draw draw) {
    const HDC screen = GetDC(nullptr);
    const HDC dc = CreateCompatibleDC(screen);
    const UniqueBitmap bitmap(CreateCompatibleBitmap(screen, 1600, 1000));
    ReleaseDC(nullptr, screen);
    const HGDIOBJ oldBitmap = SelectObject(dc, bitmap.Get());
    const HGDIOBJ oldFont = SelectObject(dc, GetStockObject(DEFAULT_GUI_FONT));
    double worst = 0;
    for (int i = 0; i < 20; ++i) {
        const LARGE_INTEGER start = Now();
        draw(dc, RECT{0, 0, 1600, 1000});
        worst = std::max(worst, Milliseconds(start, Now()));
    }
    SelectObject(dc, oldFont);
    SelectObject(dc, oldBitmap);
    DeleteDC(dc);
    return worst;
}

}  // namespace

int main() {
    TempDirectory home;
    PrepareProcess();
    Application& app = PrepareProgram(home / L"config.ini");
    if (!ShowMainWindow(app))
        return 1;
    app.fileRows.Reset(L"C:\\bench");
    for (int i = 0; i < 100000; ++i)
        app.fileRows.Append(L"photo-" + std::to_wstring(i) + L".jpg");
    app.controls.fileList.SetRowCount(app.fileRows.RowCount(), false);
    Pump();
    const double resize = WorstResize(app.mainWindow);

    const HWND bare = CreateWindowExW(MainWindowLayout::kFrameExtendedStyle, L"STATIC", L"bare",
                                      MainWindowLayout::kFrameStyle | WS_VISIBLE, 0, 0, 1100, 700,
                                      nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
    const double bareResize = WorstResize(bare);

    std::vector<std::wstring> entries;
    for (int i = 0; i < 700; ++i)
        entries.push_back(L"Ctrl+K" + std::to_wstring(i) + L" → 目标" + std::to_wstring(i) +
                          L" (复制)");
    const double legend =
        WorstDrawing([&](HDC dc, const RECT& area) { DrawKeyLegend(dc, area, entries); });
    const double plain = WorstDrawing([&](HDC dc, const RECT& area) {
        RECT line = area;
        for (const std::wstring& entry : entries) {
            DrawTextW(dc, entry.c_str(), static_cast<int>(entry.size()), &line, DT_SINGLELINE);
            line.top = (line.top + 14) % 1000;
        }
    });
    std::printf("%10.2f %10.2f %8.2f %10.2f %10.2f %8.2f\n", resize, bareResize,
                resize / std::max(bareResize, 0.01), legend, plain, legend / std::max(plain, 0.01));
    std::fflush(stdout);
    TerminateProcess(GetCurrentProcess(), 0);
    return 0;
}
