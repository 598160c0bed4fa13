#include "app/keys/file_list_keys.h"

#include <commctrl.h>

#include "app/window/application.h"
#include "app/keys/hotkeys.h"
#include "app/preview/image_pane.h"
#include "app/rules/rule_legend.h"
#include "app/window/full_screen.h"
#include "runtime/guard.h"

namespace {

constexpr UINT_PTR kSubclassId = 1;

int32_t ScanCodeOf(LPARAM keyData) {
    return static_cast<int32_t>((keyData >> 16) & 0xFF);
}

bool FiresRule(Application& app, WPARAM key, LPARAM keyData) {
    return FireFileListHotkey(app, static_cast<int32_t>(key), keyData,
                              static_cast<DWORD>(GetMessageTime()));
}

// The view's keys, when no rule takes them: F1 shows or hides the key legend, F11 enters
// or leaves full screen, Esc hides the legend or else leaves full screen.
bool ActsOnView(Application& app, UINT message, WPARAM key) {
    const HWND pane = app.preview.imagePane;
    if (message != WM_KEYDOWN || !pane)
        return false;
    switch (key) {
        case VK_F1:
            ToggleKeyLegend(pane, LegendEntries(app.rules.loaded));
            return true;
        case VK_F11:
            ToggleFullScreen(app);
            return true;
        case VK_ESCAPE:
            if (HideKeyLegend(pane))
                return true;
            if (!IsFullScreen(app))
                return false;
            LeaveFullScreen(app);
            return true;
        default:
            return false;
    }
}

LRESULT HandleFileListKey(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                          Application& app) {
    int32_t& swallowedScanCode = app.keys.swallowedScanCode;
    switch (message) {
        case WM_KEYDOWN:
        case WM_SYSKEYDOWN:
            swallowedScanCode = -1;
            if (FiresRule(app, wParam, lParam) || ActsOnView(app, message, wParam)) {
                swallowedScanCode = ScanCodeOf(lParam);
                return 0;
            }
            break;
        case WM_CHAR:
        case WM_SYSCHAR:
        case WM_DEADCHAR:
        case WM_SYSDEADCHAR:
            if (swallowedScanCode >= 0 && ScanCodeOf(lParam) == swallowedScanCode)
                return 0;
            break;
        default:
            break;
    }
    return DefSubclassProc(window, message, wParam, lParam);
}

LRESULT CALLBACK FileListKeyProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                 DWORD_PTR application) noexcept {
    if (message == WM_NCDESTROY)
        RemoveWindowSubclass(window, FileListKeyProc, kSubclassId);
    return RunGuarded([&] {
        return HandleFileListKey(window, message, wParam, lParam,
                                 *reinterpret_cast<Application*>(application));
    });
}

}  // namespace

void AttachFileListKeys(Application& app, HWND fileList) {
    SetWindowSubclass(fileList, FileListKeyProc, kSubclassId, reinterpret_cast<DWORD_PTR>(&app));
}
