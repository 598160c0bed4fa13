// Fatal errors, the orderly end of the program, and the boxes that report them.
#pragma once

#include <windows.h>

// Where a failed run-time check happened: a code for the routine and a position in it.
struct ErrorLocation {
    int routine = 0;
    int position = 0;
};

// Error numbers raised by the program's own checks.
enum FatalErrorNumber : int {
    kIndexAboveCount = 1,
    kNumberExpected = 2,
    kIndexBelowOne = 4,
    kSystemCallStack = 6,  // not raised: calls into system functions are typed when built
    kChoiceOutOfRange = 9,
    kNegativeArraySize = 10,
    kUnknownValueKind = 100,
    kUncaughtException = 101,  // an exception reached a window, hook or thread procedure
    kInvalidRelease = 102,     // a block given back that is not a live block of the heap
};

// The description of an error number (code page 936), "" outside 1 to 11.
const char* FatalErrorDescription(int number);

// Shows the "error" box for the number (with the location when given) and ends the program.
[[noreturn]] void FatalError(int number);
[[noreturn]] void FatalError(int number, ErrorLocation where);

using ExitCallback = void (*)();
// Callbacks run by ExitProgram in the order they were registered.
void RegisterExitCallback(ExitCallback callback);

// Runs the exit callbacks, uninitialises COM and ends the process with the code.
[[noreturn]] void ExitProgram(int code);

// Shows a box without owner whose text and title are code page 936 texts. The texts
// reach the window system as UTF-16, so they read correctly whatever the system's
// ANSI code page is. Uses no heap, so it also works when memory has run out.
int ShowSystemBox(const char* text, const char* title, UINT style);
