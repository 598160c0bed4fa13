// Where the program lives and where the mouse is.
#pragma once

#include <cstdint>

#include "runtime/text.h"

// The directory of the executable, without a final "\". The path is the system's ANSI
// form (GetModuleFileNameA), the form the ANSI file functions take back.
Text ProgramDirectory();

// The cursor position in screen coordinates; 0 when it cannot be read.
int32_t CursorX();
int32_t CursorY();
