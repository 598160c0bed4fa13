#include "app/keyboard_hook.h"

#include <atomic>
#include <cstring>

#include "app/key_record_queue.h"

#include "runtime/binding.h"
#include "runtime/guard.h"

namespace {

constexpr UINT kKeyEventMessage = WM_APP + 1;
constexpr wchar_t kSinkClass[] = L"ZemoKeyEvents";

std::atomic<HHOOK> g_hook{nullptr};
KeyEventHandler g_handler = nullptr;
HWND g_sink = nullptr;  // message-only window of the UI thread
HANDLE g_hookThread = nullptr;
DWORD g_hookThreadId = 0;

// Touched only by the hook thread.
int32_t g_modifierState = 0;

KeyRecordQueue g_records;

std::atomic<int64_t> g_calls{0};
std::atomic<int64_t> g_longestTicks{0};

LRESULT CALLBACK SinkProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) noexcept {
    if (message != kKeyEventMessage)
        return DefWindowProcW(window, message, wParam, lParam);
    RunGuarded([&] {
        // The lParam packs the modifier (bits 0-7), the scan code (8-23) and the
        // extended flag (24), which fits an LPARAM of either width.
        const KeyEvent event = {static_cast<int32_t>(lParam & 0xFF), LOWORD(wParam),
                                static_cast<int32_t>((lParam >> 8) & 0xFFFF),
                                ((lParam >> 24) & 1) != 0, HIWORD(wParam)};
        if (g_handler)
            g_handler(event);
    });
    return 0;
}

void PostKeyEvent(int32_t modifier, const KBDLLHOOKSTRUCT& event, int32_t direction) {
    const LPARAM packed = static_cast<LPARAM>((modifier & 0xFF) | ((event.scanCode & 0xFFFF) << 8) |
                                              ((event.flags & LLKHF_EXTENDED) ? 1 << 24 : 0));
    PostMessageW(g_sink, kKeyEventMessage, MAKEWPARAM(event.vkCode, direction), packed);
}

bool IsHeldNow(int32_t virtualKey) {
    return (GetAsyncKeyState(virtualKey) & 0x8000) != 0;
}

// Records one key event of the hook and posts it to the UI thread.
void RecordKeyEvent(LPARAM lParam) {
    LARGE_INTEGER start;
    QueryPerformanceCounter(&start);

    KBDLLHOOKSTRUCT event;
    std::memcpy(&event, reinterpret_cast<const void*>(lParam), sizeof event);
    const int32_t modifier = ModifierValueOf(static_cast<int32_t>(event.vkCode));
    // The direction comes from the flags alone: below 0x23 a key-down, with
    // LLKHF_UP (0x80) a key-up; other flag combinations are not passed on.
    if (event.flags < 0x23) {
        if (modifier)
            g_modifierState = modifier;
        else
            g_modifierState = ConfirmedModifier(g_modifierState, IsHeldNow);
        g_records.Push({static_cast<int32_t>(event.scanCode & 0xFFFF),
                        (event.flags & LLKHF_EXTENDED) != 0, event.time, g_modifierState});
        PostKeyEvent(g_modifierState, event, kKeyDown);
    } else if (event.flags > 0x7F) {
        if (modifier)
            g_modifierState = 0;
        PostKeyEvent(g_modifierState, event, kKeyUp);
    }

    LARGE_INTEGER end;
    QueryPerformanceCounter(&end);
    const int64_t ticks = end.QuadPart - start.QuadPart;
    int64_t longest = g_longestTicks.load();
    while (ticks > longest && !g_longestTicks.compare_exchange_weak(longest, ticks)) {
    }
    ++g_calls;
}

LRESULT CALLBACK KeyboardHookProc(int code, WPARAM wParam, LPARAM lParam) noexcept {
    if (code == HC_ACTION)
        RunGuarded([&] { RecordKeyEvent(lParam); });
    return CallNextHookEx(g_hook.load(), code, wParam, lParam);
}

DWORD WINAPI HookThread(LPVOID readyEvent) noexcept {
    MSG message;
    PeekMessageW(&message, nullptr, 0, 0, PM_NOREMOVE);  // gives the thread its queue
    g_hook = SetWindowsHookExA(WH_KEYBOARD_LL, KeyboardHookProc, GetModuleHandleA(nullptr), 0);
    const bool installed = g_hook.load() != nullptr;
    SetEvent(static_cast<HANDLE>(readyEvent));
    if (!installed)
        return 0;
    // The system calls the hook procedure while this loop waits for messages.
    while (GetMessageW(&message, nullptr, 0, 0) > 0)
        DispatchMessageW(&message);
    return 0;
}

HWND CreateSink() {
    WNDCLASSEXW windowClass = {sizeof windowClass};
    windowClass.lpfnWndProc = SinkProc;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.lpszClassName = kSinkClass;
    RegisterClassExW(&windowClass);
    return CreateWindowExW(0, kSinkClass, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                           windowClass.hInstance, nullptr);
}

}  // namespace

void InstallKeyboardHook(KeyEventHandler handler) {
    if (g_hook.load())
        return;
    g_handler = std::move(handler);
    if (!g_sink)
        g_sink = CreateSink();
    if (!g_sink)
        return;

    HANDLE ready = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    if (!ready)
        return;
    g_hookThread = CreateThread(nullptr, 0, HookThread, ready, 0, &g_hookThreadId);
    if (g_hookThread)
        WaitForSingleObject(ready, INFINITE);
    CloseHandle(ready);
}

void RemoveKeyboardHook() {
    if (HHOOK hook = g_hook.exchange(nullptr))
        UnhookWindowsHookEx(hook);
    if (g_hookThread) {
        PostThreadMessageW(g_hookThreadId, WM_QUIT, 0, 0);
        WaitForSingleObject(g_hookThread, 2000);
        CloseHandle(g_hookThread);
        g_hookThread = nullptr;
    }
}

HHOOK KeyboardHookHandle() {
    return g_hook.load();
}

std::optional<int32_t> TakeRecordedModifier(int32_t scanCode, bool extended, DWORD time) {
    return g_records.Take(scanCode, extended, time);
}

int32_t ModifierValueOf(int32_t key) {
    switch (key) {
        case VK_LSHIFT:
        case VK_RSHIFT:
            return VK_SHIFT;
        case VK_LCONTROL:
        case VK_RCONTROL:
            return VK_CONTROL;
        case VK_LMENU:
        case VK_RMENU:
            return VK_MENU;
        case VK_LWIN:
        case VK_RWIN:
            return VK_LWIN;
        default:
            return 0;
    }
}

int32_t ConfirmedModifier(int32_t recorded, KeyHeldReader isHeld) {
    if (recorded == 0)
        return 0;
    // The Windows keys are stored as one value for either side.
    const bool held = recorded == VK_LWIN ? isHeld(VK_LWIN) || isHeld(VK_RWIN) : isHeld(recorded);
    return held ? recorded : 0;
}

namespace {

Text NameFromKeyParameter(LONG keyParameter) {
    char name[256];
    std::memset(name, ' ', sizeof name);
    SystemFunctions::GetKeyNameTextA(keyParameter, name, sizeof name);
    // Without a name the platform may leave the blanks unterminated.
    return Text(name, static_cast<int32_t>(strnlen(name, sizeof name)));
}

}  // namespace

Text KeyName(int32_t scanCode, bool extended) {
    return NameFromKeyParameter(
        static_cast<LONG>(((scanCode & 0xFF) << 16) | (extended ? 1 << 24 : 0)));
}

Text ModifierName(int32_t modifier) {
    const UINT scanCode = SystemFunctions::MapVirtualKeyA(static_cast<UINT>(modifier), 0);
    return NameFromKeyParameter(static_cast<LONG>(scanCode << 16));
}

KeyboardHookStatistics HookStatistics() {
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    return {g_calls.load(), g_longestTicks.load() * 1e6 / static_cast<double>(frequency.QuadPart)};
}
