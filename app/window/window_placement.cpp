#include "app/window/window_placement.h"

#include "app/window/application.h"

namespace {

RECT ScreenRectangle(const RECT& saved) {
    return {saved.left, saved.top, saved.left + saved.right, saved.top + saved.bottom};
}

// The restored rectangle in screen coordinates. GetWindowPlacement gives it in the work
// area's coordinates, which differ from the screen's when a task bar sits left or on top.
RECT RestoredRectangle(HWND window) {
    WINDOWPLACEMENT placement = {};
    placement.length = sizeof(placement);
    if (!GetWindowPlacement(window, &placement)) {
        RECT now = {};
        GetWindowRect(window, &now);
        return now;
    }
    RECT restored = placement.rcNormalPosition;
    MONITORINFO monitor = {};
    monitor.cbSize = sizeof(monitor);
    if (GetMonitorInfoW(MonitorFromRect(&restored, MONITOR_DEFAULTTONEAREST), &monitor))
        OffsetRect(&restored, monitor.rcWork.left - monitor.rcMonitor.left,
                   monitor.rcWork.top - monitor.rcMonitor.top);
    return restored;
}

}  // namespace

bool IsUsableWindowRectangle(const RECT& saved, LayoutSize smallest) {
    if (saved.right < smallest.width || saved.bottom < smallest.height)
        return false;
    const RECT screen = ScreenRectangle(saved);
    return MonitorFromRect(&screen, MONITOR_DEFAULTTONULL) != nullptr;
}

void PlaceMainWindow(Application& app, UINT dpi) {
    Window& window = app.controls.mainWindow;
    const LayoutSize outer = MainWindowDefaultOuter(dpi);
    window.SetMinimumTrackSize([hwnd = window.Handle()] {
        const LayoutSize smallest = MainWindowDefaultOuter(WindowDpi(hwnd));
        return SIZE{smallest.width, smallest.height};
    });
    const RECT saved = app.settings.Get(kWindowRectangleSetting);
    if (IsUsableWindowRectangle(saved, outer)) {
        SetWindowPos(window.Handle(), nullptr, saved.left, saved.top, saved.right, saved.bottom,
                     SWP_NOZORDER | SWP_NOACTIVATE | SWP_SHOWWINDOW);
    } else {
        window.Move(std::nullopt, std::nullopt, outer.width, outer.height);
        window.SetState(WindowState::kCentred);
    }
}

void MaximiseMainWindowAsItWas(Application& app) {
    if (app.settings.Get(kMaximisedSetting))
        app.controls.mainWindow.SetState(WindowState::kMaximised);
}

void SaveMainWindowPlacement(Application& app) {
    const HWND window = app.controls.mainWindow.Handle();
    const RECT restored = RestoredRectangle(window);
    app.settings.Set(kWindowRectangleSetting,
                     RECT{restored.left, restored.top, restored.right - restored.left,
                          restored.bottom - restored.top});
    WINDOWPLACEMENT placement = {};
    placement.length = sizeof(placement);
    // A window minimised from maximised comes back maximised.
    const bool maximised =
        IsZoomed(window) || (IsIconic(window) && GetWindowPlacement(window, &placement) &&
                             (placement.flags & WPF_RESTORETOMAXIMIZED));
    app.settings.Set(kMaximisedSetting, maximised);
}
