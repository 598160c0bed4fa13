// What a key does: in the rule dialog's hotkey field it is captured as the field's text;
// in the file list it applies the first rule whose hotkey it matches to the selected rows.
#pragma once

#include <windows.h>

#include <cstdint>

#include "app/keys/keyboard_hook.h"
#include "runtime/text.h"

struct Application;

// Installs the keyboard hook and the file list's key handling. Call once the file list
// window exists.
void InstallHotkeys(Application& app, HWND fileList);

// The hook's posted key event: captures the key while the hotkey field has the focus.
void HotkeyHandler(Application& app, const KeyEvent& event);

// A key-down message reaching the file list (`key` its virtual key, `keyData` its lParam,
// `time` its message time): applies the rule its hotkey names to every selected row. True
// when a rule fired, so the key must have no other effect in the list.
bool FireFileListHotkey(Application& app, int32_t key, LPARAM keyData, DWORD time);

// The hotkey text of a key with a modifier: modifier name "+" key name.
Text CombinationName(const Text& modifierName, const Text& keyName);

// The hotkey text of a key held with `modifier` (0 for none); empty for a modifier key
// itself, which names no hotkey on its own while another modifier is held.
Text HotkeyText(int32_t modifier, int32_t key, int32_t scanCode, bool extended);
