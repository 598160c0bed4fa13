// The hotkey rules' file format: section "快捷键配置" of config.ini, one entry per rule,
// key = hotkey text, value = operation text "|" target directory, all code page 936.
#pragma once

#include "runtime/text.h"

// The section's name in config.ini.
extern const char* const kRuleSection;

// One rule: the three texts of a rule list row.
struct HotkeyRule {
    Text hotkey;
    Text operation;
    Text target;
};

// The entries of a section, in file order: keys[i] belongs to values[i].
struct RuleSectionEntries {
    TextArray keys;
    TextArray values;
};

// Reads the whole section in one call (at most 32767 bytes; what does not fit is not
// loaded). Each entry is split at its first "=": a line without "=" has an empty key.
RuleSectionEntries ReadRuleSection(const Text& path, const Text& section);

// A rule from one entry: the value is split at "|"; the first piece is the operation, the
// second the target directory, further pieces are ignored and missing ones are empty.
HotkeyRule RuleFromEntry(const Text& key, const Text& value);

// The value written for a rule: operation "|" target.
Text RuleValue(const Text& operation, const Text& target);
