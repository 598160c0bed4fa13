// Counting another process's threads, to catch a program that leaves one behind per action.
#pragma once

#include <windows.h>

#include <optional>

// The threads the process has now; nothing when the system cannot list them.
std::optional<int> ThreadCountOf(DWORD processId);
