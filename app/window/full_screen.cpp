#include "app/window/full_screen.h"

#include <algorithm>
#include <cwchar>

#include "app/operations/result_texts.h"
#include "app/preview/image_pane.h"
#include "app/window/application.h"
#include "runtime/guard.h"

namespace {

constexpr wchar_t kFullScreenClass[] = L"ZemoFullScreen";

int64_t OverlapArea(const RECT& a, const RECT& b) {
    const int64_t width = std::min(a.right, b.right) - std::max(a.left, b.left);
    const int64_t height = std::min(a.bottom, b.bottom) - std::max(a.top, b.top);
    return width > 0 && height > 0 ? width * height : 0;
}

// How far the rectangle lies from the monitor; 0 when they touch or overlap.
int64_t DistanceSquared(const RECT& a, const RECT& b) {
    const int64_t dx = std::max<int64_t>({0, b.left - a.right, a.left - b.right});
    const int64_t dy = std::max<int64_t>({0, b.top - a.bottom, a.top - b.bottom});
    return dx * dx + dy * dy;
}

BOOL CALLBACK AddMonitor(HMONITOR, HDC, LPRECT place, LPARAM found) {
    reinterpret_cast<std::vector<RECT>*>(found)->push_back(*place);
    return TRUE;
}

std::vector<RECT> MonitorRectangles() {
    std::vector<RECT> monitors;
    EnumDisplayMonitors(nullptr, nullptr, &AddMonitor, reinterpret_cast<LPARAM>(&monitors));
    return monitors;
}

Application* AppOf(HWND window) {
    return reinterpret_cast<Application*>(GetWindowLongPtrW(window, GWLP_USERDATA));
}

LRESULT HandleFullScreenMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    Application* app = AppOf(window);
    switch (message) {
        case WM_KEYDOWN:
        case WM_KEYUP:
        case WM_SYSKEYDOWN:
        case WM_SYSKEYUP:
        case WM_CHAR:
        case WM_SYSCHAR:
        case WM_DEADCHAR:
        case WM_SYSDEADCHAR:
            // The keys act as in the file list: its own key handling and its navigation.
            if (app)
                return SendMessageW(app->controls.fileList.Handle(), message, wParam, lParam);
            break;
        case WM_MOUSEWHEEL:
            if (app && app->preview.imagePane)
                return SendMessageW(app->preview.imagePane, message, wParam, lParam);
            break;
        case WM_SIZE:
            if (app)
                for (const HWND view : {app->preview.playerWindow, app->preview.imagePane})
                    if (view)
                        MoveWindow(view, 0, 0, LOWORD(lParam), HIWORD(lParam), TRUE);
            return 0;
        case WM_CLOSE:
            if (app)
                LeaveFullScreen(*app);
            return 0;
        case WM_ERASEBKGND:
            return 1;  // the pane covers it
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

LRESULT CALLBACK FullScreenProcedure(HWND window, UINT message, WPARAM wParam,
                                     LPARAM lParam) noexcept {
    return RunGuarded([&] { return HandleFullScreenMessage(window, message, wParam, lParam); });
}

bool RegisterFullScreenClass() {
    static const bool registered = [] {
        WNDCLASSEXW fullScreenClass = {};
        fullScreenClass.cbSize = sizeof(fullScreenClass);
        fullScreenClass.lpfnWndProc = &FullScreenProcedure;
        fullScreenClass.hInstance = GetModuleHandleW(nullptr);
        fullScreenClass.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32512));  // IDC_ARROW
        fullScreenClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
        fullScreenClass.lpszClassName = kFullScreenClass;
        return RegisterClassExW(&fullScreenClass) != 0 ||
               GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
    }();
    return registered;
}

void EnterFullScreen(Application& app) {
    const HWND pane = app.preview.imagePane, player = app.preview.playerWindow;
    const bool shows = (pane && IsWindowVisible(pane)) || (player && IsWindowVisible(player));
    if (!shows || !RegisterFullScreenClass())
        return;
    RECT windowRect = {};
    GetWindowRect(app.mainWindow, &windowRect);
    const RECT monitor = MonitorUnder(windowRect, MonitorRectangles());
    const HWND window =
        CreateWindowExW(0, kFullScreenClass, L"zemo", WS_POPUP | WS_CLIPCHILDREN, monitor.left,
                        monitor.top, monitor.right - monitor.left, monitor.bottom - monitor.top,
                        app.mainWindow, nullptr, GetModuleHandleW(nullptr), nullptr);
    if (!window)
        return;
    SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&app));
    app.preview.fullScreenWindow = window;
    for (const HWND view : {player, pane}) {
        if (!view)
            continue;
        SetParent(view, window);
        MoveWindow(view, 0, 0, monitor.right - monitor.left, monitor.bottom - monitor.top, TRUE);
    }
    if (pane)
        SetImagePaneFullScreen(pane, true);
    ShowWindow(window, SW_SHOW);
    SetForegroundWindow(window);
    SetFocus(window);
}

}  // namespace

RECT MonitorUnder(const RECT& window, const std::vector<RECT>& monitors) {
    if (monitors.empty())
        return window;
    const auto most =
        std::max_element(monitors.begin(), monitors.end(), [&](const RECT& a, const RECT& b) {
            const int64_t overlapA = OverlapArea(window, a), overlapB = OverlapArea(window, b);
            if (overlapA != overlapB)
                return overlapA < overlapB;
            return DistanceSquared(window, a) > DistanceSquared(window, b);
        });
    return *most;
}

bool IsFullScreen(const Application& app) {
    return app.preview.fullScreenWindow != nullptr;
}

void ToggleFullScreen(Application& app) {
    if (IsFullScreen(app))
        LeaveFullScreen(app);
    else
        EnterFullScreen(app);
}

void LeaveFullScreen(Application& app) {
    const HWND window = app.preview.fullScreenWindow;
    if (!window)
        return;
    app.preview.fullScreenWindow = nullptr;
    // Both views go back before the window goes, which would take its children with it.
    const RECT& place = app.preview.paneRect;
    for (const HWND view : {app.preview.playerWindow, app.preview.imagePane}) {
        if (!view)
            continue;
        SetParent(view, app.mainWindow);
        MoveWindow(view, place.left, place.top, place.right - place.left, place.bottom - place.top,
                   TRUE);
    }
    if (app.preview.imagePane)
        SetImagePaneFullScreen(app.preview.imagePane, false);
    SetWindowLongPtrW(window, GWLP_USERDATA, 0);
    DestroyWindow(window);
    SetForegroundWindow(app.mainWindow);
    SetFocus(app.controls.fileList.Handle());
}

std::wstring FullScreenFileLine(int32_t position, int32_t count, std::wstring_view name) {
    wchar_t number[32];
    swprintf(number, 32, L"%02d/%d ", position + 1, count);
    return number + std::wstring(name);
}

void ShowFullScreenFile(Application& app, int32_t position) {
    const FileRows& rows = app.fileRows;
    if (!IsFullScreen(app) || position < 0 || position >= rows.RowCount())
        return;
    ShowImagePaneLine(app.preview.imagePane, FullScreenFileLine(position, rows.RowCount(),
                                                                rows.Name(rows.RowAt(position))));
}

void NoteFullScreenRule(Application& app, int32_t row, std::wstring target) {
    app.preview.ruleRow = row;
    app.preview.ruleTarget = std::move(target);
}

void ShowFullScreenResult(Application& app) {
    const FileRows& rows = app.fileRows;
    const int32_t row = app.preview.ruleRow;
    if (!IsFullScreen(app) || row < 0 || row >= rows.RowCount())
        return;
    const RowResult result = rows.Result(row);
    const bool succeeded = result == RowResult::kCopied || result == RowResult::kMoved;
    const bool failed = result == RowResult::kCopyFailed || result == RowResult::kMoveFailed;
    if (!succeeded && !failed)
        return;  // still on its way
    app.preview.ruleRow = -1;
    std::wstring line = FullScreenFileLine(rows.PositionOf(row), rows.RowCount(), rows.Name(row)) +
                        L"  " + ResultText(result, rows.Operation(row));
    line +=
        succeeded ? L" → " + app.preview.ruleTarget : L"：" + std::wstring(rows.FailureReason(row));
    ShowImagePaneLine(app.preview.imagePane, std::move(line));
}
