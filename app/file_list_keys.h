// The file list's own key handling: a key that fires a rule does so when its key-down
// message reaches the list, so in the order the keys were pressed, and then has no other
// effect there (no selection change, no type-ahead search from its character). Keys that
// fire no rule reach the list unchanged.
#pragma once

#include <windows.h>

void AttachFileListKeys(HWND fileList);
