// Where the program lives and where the mouse is.
#pragma once

#include <cstdint>
#include <string>

#include "runtime/text.h"

// The directory of the executable, without a final "\", as UTF-16: a folder whose name
// the ANSI code page cannot hold is named exactly.
std::wstring ProgramDirectory();

// The cursor position in screen coordinates; 0 when it cannot be read.
int32_t CursorX();
int32_t CursorY();
