// Real keyboard and mouse input through SendInput, as a user's would arrive.
#pragma once

#include <windows.h>

#include <initializer_list>

// Presses and releases each key in order (all down, then all up in reverse order), e.g.
// PressKeys({VK_CONTROL, 'A'}).
void PressKeys(std::initializer_list<WORD> keys);
void KeyDown(WORD key);
void KeyUp(WORD key);

void MoveMouseTo(POINT screen);
void LeftClickAt(POINT screen);
void RightClickAt(POINT screen);
void DoubleClickAt(POINT screen);

// Makes a window of another process the foreground window, so that keys reach it.
bool BringToForeground(HWND window);
