// The low-level keyboard hook. Every key event of the desktop reaches the program here
// and is passed on unchanged; no key is ever swallowed.
//
// The hook lives on a thread of its own that does nothing but wait for hook calls: the
// hook procedure only updates ModifierState, records the key event and posts it to the UI
// thread, then returns. The handler runs on the UI thread from whichever message loop is
// running (main loop, modal dialog, message box), in event order, and before the key's
// own input message is dispatched (posted messages are retrieved first). A long copy or an
// open message box on the UI thread therefore never delays a hook call past the system's
// hook time-out, after which the system would silently remove the hook.
#pragma once

#include <windows.h>

#include <cstdint>

#include "runtime/text.h"

// Receives each key event: the modifier (virtual-key code of the generic modifier held,
// 0 for none), the key's virtual-key code, and the direction (1 down, 2 up).
using KeyEventHandler = void (*)(int32_t modifier, int32_t key, int32_t direction);

enum KeyDirection : int32_t { kKeyDown = 1, kKeyUp = 2 };

// Installs the hook once; later calls do nothing. Call on the UI thread.
void InstallKeyboardHook(KeyEventHandler handler);
// Removes the hook; the handle is 0 afterwards.
void RemoveKeyboardHook();
// The hook handle, 0 while no hook is installed.
HHOOK KeyboardHookHandle();

// The modifier value stored for a key-down of `key`, or 0 when it is not a modifier.
int32_t ModifierValueOf(int32_t key);

// The platform's name of a key (code page 936), as GetKeyNameTextA gives it for the key's
// scan code without the extended bit.
Text KeyName(int32_t virtualKey);

// Figures of the hook procedure since installation, for measurements.
struct KeyboardHookStatistics {
    int64_t calls;
    double longestMicroseconds;
};
KeyboardHookStatistics HookStatistics();
