// The hotkey rules: one row of the rule list per rule, mirrored in the rule set's hotkey
// texts for matching, and always exactly the rules that config.ini holds. Every change
// re-reads the file, changes only its own line, writes the whole file anew and swaps it in;
// a change that cannot be written is not made, and the user is told why.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

#include "app/rule_file.h"
#include "runtime/text.h"

// Columns of the rule list: one row per rule.
enum RuleColumn : int32_t {
    kRuleHotkeyColumn = 0,
    kRuleOperationColumn = 1,
    kRuleTargetColumn = 2
};
// Command identifier of the rule list menu's one item, "删除配置项".
constexpr UINT_PTR kDeleteRuleCommand = 1;

struct Application;

// The application's rules as config.ini holds them, row by row of the rule list.
struct RuleSet {
    // The code page 936 hotkey texts of all rules; entry i is the text of rule row i.
    TextArray hotkeys;
    // Full path of config.ini.
    std::wstring configPath;
    // The file's line of each rule row, untrimmed: a save writes these back unchanged.
    std::vector<std::string> lines;
    // The target directory of each rule row, whole.
    std::vector<std::wstring> targets;
    // What each rule row does, and its operation text (code page 936) as the file holds it.
    std::vector<RuleOperation> operations;
    std::vector<std::string> operationTexts;
};

// The executable's directory followed by "\config.ini".
std::wstring BuildConfigPath();

// The full target directory of rule row `row` as held in memory; the list's cell may show
// it cut. Empty for a row that does not exist.
std::wstring RuleTarget(const Application& app, int32_t row);

// What rule row `row` does; nothing for a row that does not exist.
RuleOperation RuleOperationOf(const Application& app, int32_t row);
// Tells, in a box titled "信息", that rule row `row` names no operation it can carry out.
void TellInvalidOperation(const Application& app, int32_t row);

// Fills the rule list and the hotkey texts from config.ini. A file that is missing or cannot be
// read gives no rules (and is then never written over).
void LoadRules(Application& app);
// Adds a rule after the last rule of config.ini as the file is now, keeping every line the
// program did not load; the list then shows what the file holds. False, after a box titled
// "信息" with the system's reason, when config.ini could not be read or written; the file
// and the list are then as they were.
bool AppendRule(Application& app, const HotkeyRule& rule);
// Deletes the first line of config.ini, as the file is now, that equals rule row `row`'s
// line byte for byte; with no such line left nothing is written. The list then shows what
// the file holds. All or nothing as AppendRule.
bool DeleteRule(Application& app, int32_t row);
// The rule list's right-click handler: over a rule row, offers "删除配置项" at the cursor
// and deletes that row when it is chosen; over empty space, offers nothing.
int32_t DeleteSelectedRule(Application& app, int32_t row);
