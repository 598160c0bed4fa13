// The low-level keyboard hook. Every key event of the desktop reaches the program here
// and is passed on unchanged; no key is ever swallowed.
//
// The hook lives on a thread of its own that does nothing but wait for hook calls: the
// hook procedure only updates the modifier state, records each key-down with the modifier
// held for it, posts the key event to the UI thread, and returns. A long copy or an open
// message box on the UI thread therefore never delays a hook call past the system's hook
// time-out, after which the system would silently remove the hook.
//
// Two consumers on the UI thread:
// - the posted event (PostToUi) reaches the handler from whichever message loop runs,
//   before the key's own input message (posted messages are retrieved first);
// - a window that acts on the key's own WM_KEYDOWN (so in the order the keys were
//   pressed) asks the hook's TakeRecordedModifier for the modifier the hook saw with that key.
#pragma once

#include <windows.h>

#include <atomic>
#include <cstdint>
#include <functional>
#include <optional>

#include "app/keys/key_record_queue.h"
#include "app/base/ui_thread.h"
#include "runtime/text.h"
#include "ui/unique_handle.h"

enum KeyDirection : int32_t { kKeyDown = 1, kKeyUp = 2 };

// One key event as the hook saw it.
struct KeyEvent {
    int32_t modifier;  // virtual-key code of the generic modifier held, 0 for none
    int32_t key;       // the key's virtual-key code
    int32_t scanCode;
    bool extended;  // the key is an extended key (arrows, Ins, Del, keypad Enter, ...)
    int32_t direction;
};

// Runs on the UI thread; may carry state.
using KeyEventHandler = std::function<void(const KeyEvent& event)>;

// The modifier value stored for a key-down of `key`, or 0 when it is not a modifier.
int32_t ModifierValueOf(int32_t key);

// The recorded modifier, or 0 once the real key state says it is no longer held (its
// release may never have reached the hook, e.g. when the secure desktop took it).
using KeyHeldReader = bool (*)(int32_t virtualKey);
int32_t ConfirmedModifier(int32_t recorded, KeyHeldReader isHeld);

// The platform's name of a key (code page 936) from its scan code and extended flag, so
// that Left and keypad 4, which share a scan code, get different names.
Text KeyName(int32_t scanCode, bool extended);
// The name of a generic modifier (VK_CONTROL, VK_SHIFT, VK_MENU): "Ctrl", "Shift", "Alt"
// whichever side was pressed.
Text ModifierName(int32_t modifier);

// Figures of the hook procedure since installation, for measurements.
struct KeyboardHookStatistics {
    int64_t calls;
    double longestMicroseconds;
};

// The hook with its thread, the receiver its events are posted to and the records
// of its key-downs. One hook is installed per process at a time: the system calls a hook
// procedure without any context, so the procedure finds the installed one through a
// process-wide pointer.
class KeyboardHook {
  public:
    KeyboardHook() = default;
    // Removes the hook.
    ~KeyboardHook();
    KeyboardHook(const KeyboardHook&) = delete;
    KeyboardHook& operator=(const KeyboardHook&) = delete;

    // Installs the hook once; later calls, and calls while another hook of the process is
    // installed, do nothing. Call on the UI thread.
    void Install(KeyEventHandler handler);
    // Removes the hook; the handle is 0 afterwards.
    void Remove();
    // The hook handle, 0 while no hook is installed.
    HHOOK Handle() const { return hook_.Get(); }

    // The modifier the hook recorded for the key-down whose input message carries this
    // scan code, extended bit and message time; nothing when the hook saw no such key.
    // Records of earlier keys (those that went to other windows) are dropped on the way.
    std::optional<int32_t> TakeRecordedModifier(int32_t scanCode, bool extended, DWORD time);

    KeyboardHookStatistics Statistics() const;

  private:
    static LRESULT CALLBACK HookProc(int code, WPARAM wParam, LPARAM lParam) noexcept;
    static DWORD WINAPI HookThread(LPVOID self) noexcept;
    void RecordKeyEvent(LPARAM lParam);
    void PostKeyEvent(int32_t modifier, const KBDLLHOOKSTRUCT& event, int32_t direction);
    void InstallOnThread();

    // Set and reset by the hook thread only: before the ready event and after its loop.
    UniqueHook hook_;
    KeyEventHandler handler_;
    // The events' way to the UI thread; closed with the hook object, so no event reaches
    // a handler that is gone.
    UiReceiver receiver_;
    UiRoute route_;  // read by the hook thread, set before it starts
    UniqueKernelHandle hookThread_;
    DWORD hookThreadId_ = 0;
    UniqueKernelHandle ready_;  // set by the hook thread once it tried to install the hook
    // Touched only by the hook thread.
    int32_t modifierState_ = 0;
    KeyRecordQueue records_;
    std::atomic<int64_t> calls_{0};
    std::atomic<int64_t> longestTicks_{0};
};
