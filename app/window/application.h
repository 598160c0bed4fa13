// The application: one object that owns everything the program keeps while it runs: the
// main window's and the rule dialog's controls and their fonts, the rules and config.ini's
// path, the file rows and the read that fills them, the keyboard hook, the preview and the
// background operations. Start-up
// makes the one instance (PrepareProgram) and hands it to the main window's builder,
// which gives it to every handler it registers; a worker's task for the UI thread that
// needs it captures it (app/base/ui_thread.h). The UI library never sees it.
#pragma once

#include <windows.h>

#include "app/operations/background_operations.h"
#include "app/files/file_list.h"
#include "app/keys/file_list_keys.h"
#include "app/files/file_rows.h"
#include "app/keys/keyboard_hook.h"
#include "app/window/layout.h"
#include "app/preview/media_preview.h"
#include "app/window/objects.h"
#include "app/rules/rules.h"
#include "app/rules/settings.h"
#include "app/order/list_order.h"

struct Application {
    // Rules are read from and written to `configPath` (config.ini).
    explicit Application(std::wstring configPath) { rules.configPath = std::move(configPath); }
    Application(const Application&) = delete;
    Application& operator=(const Application&) = delete;

    // Declared before the controls, so they outlive them.
    ControlFonts fonts;
    ApplicationObjects controls;
    // The main window's native handle, owner of the rule dialog and of the popup menus.
    HWND mainWindow = nullptr;
    RuleSet rules;
    // The settings section of config.ini, read once at start after the rules.
    Settings settings;
    FileRows fileRows;
    FileListing listing;
    FileListKeys keys;
    KeyboardHook keyboardHook;
    MediaPreview preview;
    BackgroundOperationsPointer background = MakeBackgroundOperations();
    // The order the file list shows, and the capture times it may need.
    RowSorting sorting;
};

// Shutdown: disposes the controls in declaration order (a window that still exists is only
// un-subclassed, not destroyed) and forgets the rules and the file rows. The background
// work is left to the end of the process: its worker is not waited for.
void DisposeApplication(Application& app);
