#include "app/keys/keyboard_hook.h"

#include <atomic>
#include <cstring>

#include "runtime/binding.h"
#include "runtime/guard.h"

namespace {

// The installed hook, for its procedure, which the system calls without any context.
std::atomic<KeyboardHook*> g_installed{nullptr};

bool IsHeldNow(int32_t virtualKey) {
    return (GetAsyncKeyState(virtualKey) & 0x8000) != 0;
}

}  // namespace

void KeyboardHook::PostKeyEvent(int32_t modifier, const KBDLLHOOKSTRUCT& event, int32_t direction) {
    const KeyEvent posted = {modifier, static_cast<int32_t>(event.vkCode),
                             static_cast<int32_t>(event.scanCode & 0xFFFF),
                             (event.flags & LLKHF_EXTENDED) != 0, direction};
    route_.Post([this, posted] {
        if (handler_)
            handler_(posted);
    });
}

// Records one key event of the hook and posts it to the UI thread.
void KeyboardHook::RecordKeyEvent(LPARAM lParam) {
    LARGE_INTEGER start;
    QueryPerformanceCounter(&start);

    KBDLLHOOKSTRUCT event;
    std::memcpy(&event, reinterpret_cast<const void*>(lParam), sizeof event);
    const int32_t modifier = ModifierValueOf(static_cast<int32_t>(event.vkCode));
    // The direction comes from the flags alone: below 0x23 a key-down, with
    // LLKHF_UP (0x80) a key-up; other flag combinations are not passed on.
    if (event.flags < 0x23) {
        if (modifier)
            modifierState_ = modifier;
        else
            modifierState_ = ConfirmedModifier(modifierState_, IsHeldNow);
        records_.Push({static_cast<int32_t>(event.scanCode & 0xFFFF),
                       (event.flags & LLKHF_EXTENDED) != 0, event.time, modifierState_});
        PostKeyEvent(modifierState_, event, kKeyDown);
    } else if (event.flags > 0x7F) {
        if (modifier)
            modifierState_ = 0;
        PostKeyEvent(modifierState_, event, kKeyUp);
    }

    LARGE_INTEGER end;
    QueryPerformanceCounter(&end);
    const int64_t ticks = end.QuadPart - start.QuadPart;
    int64_t longest = longestTicks_.load();
    while (ticks > longest && !longestTicks_.compare_exchange_weak(longest, ticks)) {
    }
    ++calls_;
}

LRESULT CALLBACK KeyboardHook::HookProc(int code, WPARAM wParam, LPARAM lParam) noexcept {
    return RunGuarded([&] {
        KeyboardHook* self = g_installed.load();
        if (code == HC_ACTION && self)
            self->RecordKeyEvent(lParam);
        return CallNextHookEx(self ? self->hook_.Get() : nullptr, code, wParam, lParam);
    });
}

// The hook thread both installs and removes the hook, so the handle is never touched by
// two threads at once: the UI thread reads it only after the ready event and after the
// thread has ended.
void KeyboardHook::InstallOnThread() {
    MSG message;
    PeekMessageW(&message, nullptr, 0, 0, PM_NOREMOVE);  // gives the thread its queue
    hook_.Reset(SetWindowsHookExA(WH_KEYBOARD_LL, &HookProc, GetModuleHandleA(nullptr), 0));
    const bool installed = static_cast<bool>(hook_);
    SetEvent(ready_.Get());
    if (!installed)
        return;
    // The system calls the hook procedure while this loop waits for messages.
    while (GetMessageW(&message, nullptr, 0, 0) > 0)
        DispatchMessageW(&message);
    hook_.Reset();
}

DWORD WINAPI KeyboardHook::HookThread(LPVOID self) noexcept {
    RunGuarded([self] { static_cast<KeyboardHook*>(self)->InstallOnThread(); });
    return 0;
}

KeyboardHook::~KeyboardHook() {
    Remove();
}

void KeyboardHook::Install(KeyEventHandler handler) {
    if (hook_)
        return;
    KeyboardHook* none = nullptr;
    if (!g_installed.compare_exchange_strong(none, this))
        return;
    handler_ = std::move(handler);
    route_ = receiver_.Route();

    ready_.Reset(CreateEventW(nullptr, TRUE, FALSE, nullptr));
    if (!ready_) {
        g_installed = nullptr;
        return;
    }
    hookThread_.Reset(CreateThread(nullptr, 0, &HookThread, this, 0, &hookThreadId_));
    if (hookThread_)
        WaitForSingleObject(ready_.Get(), INFINITE);
    ready_.Reset();
    if (!hook_)
        g_installed = nullptr;
}

void KeyboardHook::Remove() {
    if (hookThread_) {
        // The thread removes the hook as its loop ends; waiting for the thread to end
        // (it never blocks but in GetMessageW) keeps it from outliving this object.
        PostThreadMessageW(hookThreadId_, WM_QUIT, 0, 0);
        WaitForSingleObject(hookThread_.Get(), INFINITE);
        hookThread_.Reset();
    }
    KeyboardHook* self = this;
    g_installed.compare_exchange_strong(self, nullptr);
}

std::optional<int32_t> KeyboardHook::TakeRecordedModifier(int32_t scanCode, bool extended,
                                                          DWORD time) {
    return records_.Take(scanCode, extended, time);
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

KeyboardHookStatistics KeyboardHook::Statistics() const {
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    return {calls_.load(), longestTicks_.load() * 1e6 / static_cast<double>(frequency.QuadPart)};
}
