// Measures, in-process, how the main window keeps up with its size and how fast the key
// legend draws, each against a baseline measured in the same run:
//   resize - the worst of 50 size changes of the real main window (SetWindowPos, which lays
//            it out in WM_SIZE) with 100,000 rows listed; the baselines are the same changes
//            of a bare window of the same frame, and of one holding nothing but a plain list
//            view of 100,000 virtual rows that follows its size;
//   legend - the worst of 20 drawings of the legend of 700 rules into a 1600 x 1000 area;
//            the baseline draws the same 700 texts one under another.
//   steps  - with "steps": the same 50 size changes taken apart, the frame's own change
//            (its layout held back) and then each step of the layout pass on its own, the
//            worst of each printed on a line, at 100,000 rows and then at 100.
// Usage: bench_window.exe [steps]   prints the times in milliseconds and the ratios.
#include <windows.h>
#include <shellapi.h>
#include <commctrl.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "app/preview/key_legend.h"
#include "app/preview/media_preview.h"
#include "app/window/application.h"
#include "app/window/layout.h"
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

// The main window's layout pass taken apart: the size changes of WorstResize with the size
// handler held back, then each step LayOutMainWindow takes for the new size, timed alone.
// The window lays itself out no more afterwards.
void PrintLayoutSteps(Application& app, const char* rows) {
    ApplicationObjects& o = app.controls;
    o.mainWindow.SetSizeHandler([](intptr_t, intptr_t) { return 0; });
    const UINT dpi = WindowDpi(app.mainWindow);
    struct Step {
        const char* name;
        double worst = 0;
    };
    Step frame{"frame"}, fileList{"file list"}, folderRow{"folder row"}, ruleList{"rule list"},
        player{"player"}, pane{"pane"}, column{"name column"}, sameColumn{"same width again"};
    const auto timed = [](Step& step, auto&& work) {
        const LARGE_INTEGER start = Now();
        work();
        step.worst = std::max(step.worst, Milliseconds(start, Now()));
    };
    for (int i = 0; i < 50; ++i) {
        const int width = 1200 + (i % 2 ? 300 : 0) + i, height = 760 + (i % 2 ? 200 : 0) + i;
        timed(frame, [&] {
            SetWindowPos(app.mainWindow, nullptr, 0, 0, width, height, SWP_NOMOVE | SWP_NOZORDER);
        });
        RECT client = {};
        GetClientRect(app.mainWindow, &client);
        const MainWindowBoxes boxes =
            ArrangeMainWindow({client.right, client.bottom}, MainWindowDefaultClient(dpi), dpi);
        const auto move = [](ControlObject& control, const LayoutBox& box) {
            control.Move(box.x, box.y, box.width, box.height);
        };
        timed(fileList, [&] { move(o.fileList, boxes.fileList); });
        timed(folderRow, [&] {
            move(o.directoryLabel, boxes.directoryLabel);
            move(o.directoryEdit, boxes.directoryEdit);
            move(o.chooseFolderButton, boxes.chooseFolderButton);
            move(o.readListButton, boxes.readListButton);
            move(o.rulesButton, boxes.rulesButton);
        });
        timed(ruleList, [&] { move(o.ruleList, boxes.ruleList); });
        const LayoutBox& preview = boxes.preview;
        timed(player,
              [&] { o.mediaPlayer.Move(preview.x, preview.y, preview.width, preview.height); });
        timed(pane, [&] {
            MovePreviewPane(app.preview, preview.x, preview.y, preview.width, preview.height);
        });
        timed(column, [&] {
            o.fileList.SetColumnWidth(MainWindowLayout::kNameColumn, boxes.nameColumnWidth);
        });
        timed(sameColumn, [&] {
            o.fileList.SetColumnWidth(MainWindowLayout::kNameColumn, boxes.nameColumnWidth);
        });
        Pump();
    }
    std::printf("steps at %s rows (worst ms):", rows);
    for (const Step* step :
         {&frame, &fileList, &folderRow, &ruleList, &player, &pane, &column, &sameColumn})
        std::printf(" %s %.2f;", step->name, step->worst);
    std::printf("\n");
}

// The platform's own part: a bare window whose one child, a plain list view of 100,000
// virtual rows in four columns, follows its size.
LRESULT CALLBACK ListFrameProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_SIZE)
        if (const HWND list = GetWindow(window, GW_CHILD))
            MoveWindow(list, 0, 0, LOWORD(lParam), HIWORD(lParam), TRUE);
    return DefWindowProcW(window, message, wParam, lParam);
}

HWND BareWindowWithAList() {
    WNDCLASSW frameClass = {};
    frameClass.lpfnWndProc = &ListFrameProcedure;
    frameClass.hInstance = GetModuleHandleW(nullptr);
    frameClass.lpszClassName = L"BenchListFrame";
    RegisterClassW(&frameClass);
    const HWND frame =
        CreateWindowExW(MainWindowLayout::kFrameExtendedStyle, L"BenchListFrame", L"bare list",
                        MainWindowLayout::kFrameStyle | WS_VISIBLE, 0, 0, 1100, 700, nullptr,
                        nullptr, GetModuleHandleW(nullptr), nullptr);
    const HWND list = CreateWindowExW(
        WS_EX_CLIENTEDGE, WC_LISTVIEWW, L"", WS_CHILD | WS_VISIBLE | LVS_REPORT | LVS_OWNERDATA, 0,
        0, 1100, 700, frame, nullptr, GetModuleHandleW(nullptr), nullptr);
    for (int column = 0; column < 4; ++column) {
        LVCOLUMNW header = {};
        header.mask = LVCF_WIDTH;
        header.cx = 150;
        SendMessageW(list, LVM_INSERTCOLUMNW, column, reinterpret_cast<LPARAM>(&header));
    }
    SendMessageW(list, LVM_SETITEMCOUNT, 100000, 0);
    Pump();
    return frame;
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
    int argc = 0;
    wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &argc);
    const bool steps = argc > 1 && std::wstring(argv[1]) == L"steps";
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
    const double bareListResize = WorstResize(BareWindowWithAList());

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
    std::printf(
        "a bare window holding one plain list view of 100,000 rows: %.2f ms (resize / it "
        "%.2f)\n",
        bareListResize, resize / std::max(bareListResize, 0.01));
    if (steps) {
        PrintLayoutSteps(app, "100,000");
        // Whether the list's own steps grow with its rows.
        app.controls.fileList.SetRowCount(100, false);
        PrintLayoutSteps(app, "100");
    }
    std::fflush(stdout);
    TerminateProcess(GetCurrentProcess(), 0);
    return 0;
}
