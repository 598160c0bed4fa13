// The main window: its creation handler and its layout.
#pragma once

#include <windows.h>

#include <cstdint>

#include "res/resource.h"

struct Application;

// Resource identifier of the application icon.
constexpr int kApplicationIconId = ZEMO_ICON;

// The main window's OnCreate handler: frames and marks the window, records its handle
// in the application, centres it on the screen, which also shows it, creates the controls
// with the application's handlers and loads the rules.
int32_t BuildMainWindow(Application& app, HWND hwnd);

// Places the main window's controls for `dpi` and the client area's size (positions, sizes,
// column widths, font); run at creation, whenever the window's DPI changes and, after a
// size change, with `newDpi` false: the fonts and the other columns then stay.
void LayOutMainWindow(Application& app, UINT dpi, bool newDpi = true);
