// The one text the program shows for a system error code.
#pragma once

#include <windows.h>

#include <string>

// The system's message text for an error code, without its trailing line break, blanks
// or full stop; "错误代码 N" when the system has no text for the code.
std::wstring SystemMessage(DWORD error);
