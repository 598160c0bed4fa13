// The life of the process: start-up, the main routine, the message loop and shutdown.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

struct Application;

// The entry: PrepareProcess and RunProgram. Ends the process with exit code 0 on every
// path and does not return.
[[noreturn]] int StartProgram();

// Records the heap and initialises COM for the UI thread.
void PrepareProcess();

// PrepareProgram, ApplicationMain, and the end of the process with exit code 0.
[[noreturn]] void RunProgram();

// Opens the workers' road to this thread (StartUiTasks), constructs the application (its
// rules in `configPath`) and the registries, registers
// the teardown and initialises the library. The application lives until the teardown.
Application& PrepareProgram(const std::wstring& configPath);

// Creates and shows the main window, whose destruction ends the program; 0 when it
// cannot be created.
HWND ShowMainWindow(Application& app);

// Shows the main window, opens the folder the command line names and runs the message
// loop until WM_QUIT; returns at once when the main window cannot be created.
int32_t ApplicationMain(Application& app);

// One GetMessageW, TranslateMessage, DispatchMessageW per message until WM_QUIT; its wParam.
WPARAM RunMessageLoop();

// The main window's OnDestroy handler: removes the keyboard hook and ends the process
// with exit code 0.
int32_t QuitProgram(Application& app);

// Terminates the calling process with exit code 0; returns only when that failed:
// 1 when TerminateProcess returned exactly 1, else 0.
int32_t TerminateOwnProcess();

// The library's teardown, the first exit callback: closes the workers' road to the UI
// thread (StopUiTasks), disposes the application's objects in
// the order they were constructed, then the application, and destroys the window registry.
void TearDownLibrary();
