// The hotkey rules: one row of the rule list per rule, mirrored in HotkeyList for
// matching and in config.ini for the next start. Every change rewrites the file at once.
#pragma once

#include <windows.h>

#include <cstdint>

#include "runtime/text.h"

// Columns of the rule list: one row per rule.
enum RuleColumn : int32_t {
    kRuleHotkeyColumn = 0,
    kRuleOperationColumn = 1,
    kRuleTargetColumn = 2
};
// Command identifier of the rule list menu's one item, "删除配置项".
constexpr UINT_PTR kDeleteRuleCommand = 1;

// The code page 936 hotkey texts of all rules; entry i is the text of rule row i.
extern TextArray HotkeyList;
// Full path of config.ini: the executable's directory followed by "\config.ini".
extern Text ConfigPath;

Text BuildConfigPath();

// Fills the rule list and HotkeyList from config.ini (start-up, when the file exists).
void LoadRules();
// Writes every rule row to config.ini in row order and rebuilds HotkeyList; returns
// the number of rows.
int32_t SaveAllRules();
// The rule list's right-click handler: offers "删除配置项" at the cursor and, when it is
// chosen, deletes the current rule row and rewrites the section from the remaining rows.
int32_t DeleteSelectedRule(int32_t row, int32_t keyFlags);
