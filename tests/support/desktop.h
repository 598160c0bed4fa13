// Windows of other processes: finding them, reading their texts, answering their boxes.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "tests/support/wait.h"

std::wstring WindowText(HWND window);  // WM_GETTEXT, also across processes
std::wstring WindowClass(HWND window);
DWORD WindowProcess(HWND window);

// Top-level windows of a process, in z-order; only visible ones unless asked otherwise.
std::vector<HWND> TopLevelWindows(DWORD processId, bool visibleOnly = true);

// The first visible top-level window of the process with this class and, when given,
// exactly this title. Empty class: any class.
HWND FindTopLevelWindow(DWORD processId, const std::wstring& className,
                        const std::wstring* title = nullptr);
HWND WaitForTopLevelWindow(DWORD processId, const std::wstring& className,
                           const std::wstring* title = nullptr, DWORD timeoutMs = kDefaultWaitMs);

// A child window (any depth) with this control identifier, or null.
HWND FindChildById(HWND parent, int id);
// Rectangle of a child in its parent's client coordinates.
RECT RectInParent(HWND child);
// Outer rectangle in screen coordinates.
RECT ScreenRect(HWND window);

// A message box shown by a process: its window, title and text.
struct MessageBoxInfo {
    HWND window = nullptr;
    std::wstring title;
    std::wstring text;
};
// Waits for a message box (dialog class "#32770") of the process; window is null when
// none appeared before the deadline. With a title, waits for a box with that title.
MessageBoxInfo WaitForMessageBox(DWORD processId, const std::wstring* title = nullptr,
                                 DWORD timeoutMs = kDefaultWaitMs);
// True when the process shows no message box right now.
bool NoMessageBox(DWORD processId);
// Presses a button of the box (default OK) and waits until the box is gone.
bool AnswerMessageBox(HWND box, int buttonId = IDOK, DWORD timeoutMs = kDefaultWaitMs);
