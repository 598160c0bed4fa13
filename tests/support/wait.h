// Waiting for a state with a deadline. GUI and end-to-end tests poll for the state they
// expect instead of sleeping a fixed time, so they pass on a loaded machine.
#pragma once

#include <windows.h>

#include <functional>

// Default deadline for a state to appear.
constexpr DWORD kDefaultWaitMs = 15000;

// Pumps this thread's messages while waiting. True as soon as `condition` holds,
// false when the deadline passes first.
bool WaitUntil(const std::function<bool()>& condition, DWORD timeoutMs = kDefaultWaitMs);

// Dispatches every message queued for this thread.
void PumpMessages();
