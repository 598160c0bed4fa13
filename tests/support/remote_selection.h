// Changing the selection of another process's list view, as Ctrl+click does. Real Ctrl+clicks
// are unreliable under Wine on Xvfb: a pointer event from the X server may reset the
// injected Ctrl key's state, turning the click into a plain one.
#pragma once

#include <windows.h>

// Selects or deselects `row`, and gives it the focus and the selection mark when asked.
bool SetRowSelected(HWND listView, int row, bool selected, bool focus);
