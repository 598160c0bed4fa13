#include "tests/support/input.h"

#include <vector>

#include "tests/support/key_strokes.h"
#include "tests/support/wait.h"

namespace {

void SendMouse(DWORD flags, POINT screen) {
    INPUT input = {};
    input.type = INPUT_MOUSE;
    input.mi.dx = MulDiv(screen.x, 65535, GetSystemMetrics(SM_CXSCREEN) - 1);
    input.mi.dy = MulDiv(screen.y, 65535, GetSystemMetrics(SM_CYSCREEN) - 1);
    input.mi.dwFlags = flags | MOUSEEVENTF_ABSOLUTE;
    SendInput(1, &input, sizeof input);
}

}  // namespace

void KeyDown(WORD key) {
    INPUT input = InputOf(StrokeOf(key), false);
    SendInput(1, &input, sizeof input);
}

void KeyUp(WORD key) {
    INPUT input = InputOf(StrokeOf(key), true);
    SendInput(1, &input, sizeof input);
}

void PressKeys(std::initializer_list<WORD> keys) {
    std::vector<INPUT> inputs;
    for (WORD key : keys)
        inputs.push_back(InputOf(StrokeOf(key), false));
    for (auto it = keys.end(); it != keys.begin();)
        inputs.push_back(InputOf(StrokeOf(*--it), true));
    SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
}

void MoveMouseTo(POINT screen) {
    SendMouse(MOUSEEVENTF_MOVE, screen);
}

void LeftClickAt(POINT screen) {
    SendMouse(MOUSEEVENTF_MOVE, screen);
    SendMouse(MOUSEEVENTF_LEFTDOWN, screen);
    SendMouse(MOUSEEVENTF_LEFTUP, screen);
}

void RightClickAt(POINT screen) {
    SendMouse(MOUSEEVENTF_MOVE, screen);
    SendMouse(MOUSEEVENTF_RIGHTDOWN, screen);
    SendMouse(MOUSEEVENTF_RIGHTUP, screen);
}

void DoubleClickAt(POINT screen) {
    LeftClickAt(screen);
    LeftClickAt(screen);
}

bool BringToForeground(HWND window) {
    SetForegroundWindow(window);
    return WaitUntil([&] { return GetForegroundWindow() == window; }, 5000);
}
