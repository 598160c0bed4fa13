// The hotkey rules: the rules config.ini holds, parsed once each time the file is read, and
// the rule list that shows them, one row per rule in file order. Every change re-reads the
// file, changes only its own line, writes the whole file anew and swaps it in; a change
// that cannot be written is not made, and the user is told why.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

#include "app/rules/rule.h"

// Columns of the rule list: one row per rule.
enum RuleColumn : int32_t {
    kRuleHotkeyColumn = 0,
    kRuleOperationColumn = 1,
    kRuleTargetColumn = 2
};
// Command identifier of the rule list menu's one item, "删除配置项".
constexpr UINT_PTR kDeleteRuleCommand = 1;

struct Application;
class ListViewControl;

// The application's rules as config.ini holds them.
struct RuleSet {
    // Full path of config.ini.
    std::wstring configPath;
    // The rules as the file held them when last read, in file order: rule i is row i of
    // the rule list.
    std::vector<Rule> loaded;
};

// The executable's directory followed by "\config.ini".
std::wstring BuildConfigPath();

// Reads the rules from config.ini and shows them in the rule list. A file that is missing
// or cannot be read gives no rules (and is then never written over).
void LoadRules(RuleSet& rules, ListViewControl& ruleList);
// Adds a rule after the last rule of config.ini as the file is now, keeping every line the
// program did not load; the list then shows what the file holds. A key the file holds
// already, in any case of its letters (a second running copy may have added it), is refused
// with "快捷键配置已存在！" and the file stays as it is. kNotSaved, after a box titled "信息"
// with the system's reason, when config.ini could not be read or written; the file and the
// list are then as they were.
enum class RuleAdded { kAdded, kKeyTaken, kNotSaved };
RuleAdded AppendRule(RuleSet& rules, ListViewControl& ruleList, const Rule& rule);
// Deletes the first line of config.ini, as the file is now, that equals the line rule `row`
// was read from, byte for byte; with no such line left nothing is written. The list then
// shows what the file holds. All or nothing as AppendRule.
bool DeleteRule(RuleSet& rules, ListViewControl& ruleList, int32_t row);
// The rule list's right-click handler: over a rule row, offers "删除配置项" at the cursor
// and deletes that row when it is chosen; over empty space, offers nothing.
int32_t DeleteSelectedRule(Application& app, int32_t row);
