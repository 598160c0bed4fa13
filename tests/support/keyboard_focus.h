// The keyboard focus of another process's window, and giving it to a field with a real click.
#pragma once

#include <windows.h>

// The control that has the keyboard focus in the thread of `window`, or null.
HWND FocusOf(HWND window);
// Brings `window` to the foreground and clicks the middle of `field`, as the user does
// before typing; true once `field` has the focus.
bool ClickInto(HWND window, HWND field);
