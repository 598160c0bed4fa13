#include "app/file_list_keys.h"

#include <commctrl.h>

#include <new>

#include "app/hotkeys.h"
#include "runtime/heap.h"

namespace {

constexpr UINT_PTR kSubclassId = 1;

// The scan code whose characters are dropped: that of the last key-down that fired a
// rule, until the next key-down. The characters TranslateMessage makes from a key-down
// are posted, so they arrive right after it.
int32_t g_swallowedScanCode = -1;

int32_t ScanCodeOf(LPARAM keyData) {
    return static_cast<int32_t>((keyData >> 16) & 0xFF);
}

bool FiresRule(WPARAM key, LPARAM keyData) {
    try {
        return FireFileListHotkey(static_cast<int32_t>(key), keyData,
                                  static_cast<DWORD>(GetMessageTime()));
    } catch (const std::bad_alloc&) {
        ReportOutOfMemory();  // a container could not grow: the same end as any allocation
    } catch (...) {
        // Nothing may unwind into the window system.
    }
    return false;
}

LRESULT CALLBACK FileListKeyProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                 DWORD_PTR) {
    switch (message) {
        case WM_KEYDOWN:
        case WM_SYSKEYDOWN:
            g_swallowedScanCode = -1;
            if (FiresRule(wParam, lParam)) {
                g_swallowedScanCode = ScanCodeOf(lParam);
                return 0;
            }
            break;
        case WM_CHAR:
        case WM_SYSCHAR:
        case WM_DEADCHAR:
        case WM_SYSDEADCHAR:
            if (g_swallowedScanCode >= 0 && ScanCodeOf(lParam) == g_swallowedScanCode)
                return 0;
            break;
        case WM_NCDESTROY:
            RemoveWindowSubclass(window, FileListKeyProc, kSubclassId);
            break;
        default:
            break;
    }
    return DefSubclassProc(window, message, wParam, lParam);
}

}  // namespace

void AttachFileListKeys(HWND fileList) {
    SetWindowSubclass(fileList, FileListKeyProc, kSubclassId, 0);
}
