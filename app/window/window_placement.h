// Where the main window opens: the restored rectangle and the maximised state it had when it
// last closed, kept in the settings, or the default size centred on the screen.
#pragma once

#include <windows.h>

#include "app/rules/settings.h"
#include "app/window/layout.h"

struct Application;

// The restored (not maximised) window rectangle in screen coordinates, physical pixels; its
// four numbers are x, y, width and height. All zero: none saved.
inline constexpr Setting<RECT> kWindowRectangleSetting{"窗口", {0, 0, 0, 0}};
inline constexpr Setting<bool> kMaximisedSetting{"最大化", false};

// Whether a saved rectangle (x, y, width, height) may be opened: at least `smallest` in
// both directions, and on some monitor.
bool IsUsableWindowRectangle(const RECT& saved, LayoutSize smallest);

// Sizes the main window at `dpi` and shows it where it last was; at the default size
// centred when nothing usable was saved.
void PlaceMainWindow(Application& app, UINT dpi);
// Maximises the shown main window when it was maximised as it closed. After the window's
// first showing, which would take the maximised state back.
void MaximiseMainWindowAsItWas(Application& app);
// Keeps where the main window is in the settings (as it closes). Nothing is told when the
// file refuses it.
void SaveMainWindowPlacement(Application& app);
