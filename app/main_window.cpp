#include "app/main_window.h"

#include "app/objects.h"

HWND MainWindowHandle = nullptr;

int32_t BuildMainWindow(HWND hwnd) {
    Window& window = Objects().mainWindow;
    window.AddExtendedWindowStyle(WS_EX_CLIENTEDGE);
    window.Icon(LoadIconW(LibraryInstance, MAKEINTRESOURCEW(kApplicationIconId)), ICON_SMALL);
    MainWindowHandle = hwnd;
    // Centring shows the window, so the controls appear on a visible window.
    window.WindowState(3);
    return 0;
}
