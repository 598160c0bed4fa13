#include "tests/support/input.h"

#include <vector>

#include "tests/support/wait.h"

namespace {

bool IsExtendedKey(WORD key) {
    switch (key) {
        case VK_UP:
        case VK_DOWN:
        case VK_LEFT:
        case VK_RIGHT:
        case VK_HOME:
        case VK_END:
        case VK_PRIOR:
        case VK_NEXT:
        case VK_INSERT:
        case VK_DELETE:
        case VK_RCONTROL:
        case VK_RMENU:
        case VK_LWIN:
        case VK_RWIN:
        case VK_APPS:
            return true;
        default:
            return false;
    }
}

INPUT KeyInput(WORD key, bool up) {
    INPUT input = {};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = key;
    input.ki.wScan = static_cast<WORD>(MapVirtualKeyW(key, MAPVK_VK_TO_VSC));
    input.ki.dwFlags =
        (up ? KEYEVENTF_KEYUP : 0) | (IsExtendedKey(key) ? KEYEVENTF_EXTENDEDKEY : 0);
    return input;
}

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
    INPUT input = KeyInput(key, false);
    SendInput(1, &input, sizeof input);
}

void KeyUp(WORD key) {
    INPUT input = KeyInput(key, true);
    SendInput(1, &input, sizeof input);
}

void PressKeys(std::initializer_list<WORD> keys) {
    std::vector<INPUT> inputs;
    for (WORD key : keys)
        inputs.push_back(KeyInput(key, false));
    for (auto it = keys.end(); it != keys.begin();)
        inputs.push_back(KeyInput(*--it, true));
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
