// The main window: its creation handler and its handle.
#pragma once

#include <windows.h>

#include <cstdint>

#include "res/resource.h"

// The main window's native handle, owner of the rule dialog and of the rule popup menu.
extern HWND MainWindowHandle;

// Resource identifier of the application icon.
constexpr int kApplicationIconId = ZEMO_ICON;

// The main window's OnCreate handler: frames and marks the window, records its handle
// and centres it on the screen, which also shows it.
int32_t BuildMainWindow(HWND hwnd);

// Places the main window's controls for `dpi` (positions, sizes, column widths, font); run
// at creation when the DPI is not 96, and whenever the window's DPI changes.
void LayOutMainWindow(UINT dpi);
