#include "tests/support/key_strokes.h"

#include <algorithm>
#include <iterator>

namespace {

// Scan codes of the keypad digits, shared with the navigation keys.
WORD KeypadScanCode(WORD numpadKey) {
    static const WORD codes[10] = {0x52, 0x4F, 0x50, 0x51, 0x4B, 0x4C, 0x4D, 0x47, 0x48, 0x49};
    return numpadKey >= VK_NUMPAD0 && numpadKey <= VK_NUMPAD9 ? codes[numpadKey - VK_NUMPAD0] : 0;
}

std::wstring NameOf(UINT scanCode, bool extended) {
    // Key names come from the keyboard driver, which is loaded once the process has a window.
    static HWND window =
        CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 0, 0, nullptr, nullptr, nullptr, nullptr);
    (void)window;
    wchar_t name[256] = {};
    GetKeyNameTextW(static_cast<LONG>((scanCode << 16) | (extended ? 1u << 24 : 0)), name, 256);
    return name;
}

}  // namespace

INPUT InputOf(const KeyStroke& stroke, bool up) {
    INPUT input = {};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = stroke.key;
    input.ki.wScan = stroke.scanCode;
    input.ki.dwFlags = (up ? KEYEVENTF_KEYUP : 0) | (stroke.extended ? KEYEVENTF_EXTENDEDKEY : 0);
    return input;
}

KeyStroke StrokeOf(WORD key) {
    // Wine's MapVirtualKeyW does not mark extended keys (MAPVK_VK_TO_VSC_EX gives no 0xE0
    // prefix), so they are listed here.
    static const WORD extendedKeys[] = {VK_UP,       VK_DOWN,  VK_LEFT, VK_RIGHT,  VK_HOME,
                                        VK_END,      VK_PRIOR, VK_NEXT, VK_INSERT, VK_DELETE,
                                        VK_RCONTROL, VK_RMENU, VK_LWIN, VK_RWIN,   VK_APPS};
    const bool extended =
        std::find(std::begin(extendedKeys), std::end(extendedKeys), key) != std::end(extendedKeys);
    return {key, static_cast<WORD>(MapVirtualKeyW(key, MAPVK_VK_TO_VSC)), extended};
}

KeyStroke KeypadStroke(WORD numpadKey) {
    return {numpadKey, KeypadScanCode(numpadKey), false};
}

void SendBurst(const std::vector<KeyStroke>& strokes) {
    std::vector<INPUT> inputs;
    for (const KeyStroke& stroke : strokes) {
        inputs.push_back(InputOf(stroke, false));
        inputs.push_back(InputOf(stroke, true));
    }
    SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
}

void SendBurst(std::initializer_list<KeyStroke> strokes) {
    SendBurst(std::vector<KeyStroke>(strokes));
}

std::wstring HotkeyNameOf(const KeyStroke& stroke) {
    return NameOf(stroke.scanCode, stroke.extended);
}
