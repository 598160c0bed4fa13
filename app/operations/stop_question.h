// The question asked before pending copies and moves are stopped.
#pragma once

#include <windows.h>

#include <functional>
#include <string>

#include "app/operations/operation_queue.h"

// Asks `text` in a box titled "信息" with Yes and No; on Yes the queue's work is already
// cancelled on return, and `onYes` (may be empty) has run, both before the box closes.
bool AskToStop(HWND owner, const std::wstring& text, OperationQueue& queue,
               const std::function<void()>& onYes);
