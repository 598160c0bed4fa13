// The message box of the application's own messages.
#pragma once

#include <windows.h>

#include <cstdint>
#include <optional>

#include "runtime/text.h"
#include "runtime/value.h"

// Shows `message` (as ValueToText turns it into text; an array shows no text) in a box
// titled "信息" unless a title is given, owned by `owner` when one is given. Text and title
// are code page 936 and reach the window system as UTF-16, whatever the system's ANSI code
// page. Returns the button code minus 1 (IDOK gives 0, IDNO 6).
int32_t ShowMessage(const Value& message, UINT style = MB_OK,
                    const std::optional<Text>& title = std::nullopt, HWND owner = nullptr);
