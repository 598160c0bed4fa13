// Files dropped from the shell, as the receiving window gets them.
#pragma once

#include <windows.h>
#include <shellapi.h>

#include <string>
#include <vector>

// An HDROP as the shell makes one: DROPFILES, then each wide path and its zero, then one
// more zero. The receiver frees it (DragFinish).
HDROP MakeDrop(const std::vector<std::wstring>& paths);
