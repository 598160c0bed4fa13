// The life of the process: start-up, the main routine, the message loop and shutdown.
#pragma once

#include <windows.h>

#include <cstdint>

// The entry: records the heap, initialises COM and runs the program. Ends the process
// with exit code 0 on every path and does not return.
[[noreturn]] int StartProgram();

// PrepareProgram, ApplicationMain, and the end of the process with exit code 0.
[[noreturn]] void RunProgram();

// Constructs the objects and the registries, registers the teardown and initialises the
// library.
void PrepareProgram();

// Creates and shows the main window, whose destruction ends the program; 0 when it
// cannot be created.
HWND ShowMainWindow();

// Shows the main window and runs the message loop until WM_QUIT; returns at once when
// the main window cannot be created.
int32_t ApplicationMain();

// One GetMessageW, TranslateMessage, DispatchMessageW per message until WM_QUIT; its wParam.
WPARAM RunMessageLoop();

// The main window's OnDestroy handler: removes the keyboard hook and ends the process
// with exit code 0.
int32_t QuitProgram();

// Terminates the calling process with exit code 0; returns only when that failed:
// 1 when TerminateProcess returned exactly 1, else 0.
int32_t TerminateOwnProcess();

// The library's teardown, the first exit callback: disposes the objects in the order
// they were constructed and destroys the window registry.
void TearDownLibrary();
