// The file list's own key handling: a key that fires a rule does so when its key-down
// message reaches the list, so in the order the keys were pressed, and then has no other
// effect there (no selection change, no type-ahead search from its character). Keys that
// fire no rule reach the list unchanged.
#pragma once

#include <windows.h>

#include <cstdint>

struct Application;

struct FileListKeys {
    // The scan code whose characters are dropped: that of the last key-down that fired a
    // rule, until the next key-down. The characters TranslateMessage makes from a key-down
    // are posted, so they arrive right after it.
    int32_t swallowedScanCode = -1;
};

void AttachFileListKeys(Application& app, HWND fileList);
