// Key strokes with explicit scan codes and extended flags, as a keyboard sends them, and
// the names the program gives them. Keys that share a scan code (Down and keypad 2) differ
// only in the extended flag and the virtual key.
#pragma once

#include <windows.h>

#include <initializer_list>
#include <string>
#include <vector>

struct KeyStroke {
    WORD key;  // virtual key
    WORD scanCode;
    bool extended;
};

// The stroke of a main-keyboard or navigation key (arrows, PgUp, Ins, Del are extended).
KeyStroke StrokeOf(WORD key);
// The stroke's key going down or up, for SendInput.
INPUT InputOf(const KeyStroke& stroke, bool up);
// A keypad key as it arrives with NumLock on: VK_NUMPAD2 with scan code 0x50, not
// extended. (A bare scan code would arrive as the reserved VK_DOWN on Xvfb with NumLock off.)
KeyStroke KeypadStroke(WORD numpadKey);

// Presses and releases every stroke in order, all in one SendInput call (one burst).
void SendBurst(std::initializer_list<KeyStroke> strokes);
void SendBurst(const std::vector<KeyStroke>& strokes);

// The program's name of a key, from its scan code and extended flag.
std::wstring HotkeyNameOf(const KeyStroke& stroke);
