// What a key event does: in the rule dialog's hotkey field it is captured as the field's
// text; in the file list it applies the first rule whose hotkey it matches.
#pragma once

#include <cstdint>

#include "runtime/text.h"

void HotkeyHandler(int32_t modifier, int32_t key, int32_t direction);

// The hotkey text of a key with a modifier: modifier name "+" key name.
Text CombinationName(const Text& modifierName, const Text& keyName);
