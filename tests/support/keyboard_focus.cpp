#include "tests/support/keyboard_focus.h"

#include "tests/support/desktop.h"
#include "tests/support/input.h"
#include "tests/support/wait.h"

HWND FocusOf(HWND window) {
    GUITHREADINFO info = {sizeof info};
    if (!GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &info))
        return nullptr;
    return info.hwndFocus;
}

bool ClickInto(HWND window, HWND field) {
    if (!BringToForeground(window))
        return false;
    const RECT box = ScreenRect(field);
    LeftClickAt({(box.left + box.right) / 2, (box.top + box.bottom) / 2});
    return WaitUntil([&] { return FocusOf(window) == field; });
}
