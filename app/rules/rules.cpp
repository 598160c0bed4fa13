#include "app/rules/rules.h"

#include <windows.h>

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "app/window/application.h"
#include "app/base/system_error.h"
#include "runtime/environment.h"
#include "runtime/message.h"

namespace {

// The rule list shows `rules`, which become the rules the program acts by.
void ShowRules(RuleSet& ruleSet, ListViewControl& list, std::vector<Rule> rules) {
    // With redraw on, every inserted row repaints the list: minutes for hundreds of rules.
    list.SuspendRedraw();
    list.DeleteAllItems();
    for (const Rule& rule : rules) {
        const int32_t row = list.InsertItem();
        list.SetItemText(row, kRuleHotkeyColumn, ToUtf16(Text(rule.key)));
        list.SetItemText(row, kRuleOperationColumn, ToUtf16(Text(rule.operationText)));
        list.SetItemText(row, kRuleTargetColumn, ToUtf16(Text(rule.target)));
    }
    list.ResumeRedraw();
    list.Invalidate(true);
    ruleSet.loaded = std::move(rules);
}

void TellNotSaved(DWORD error) {
    const std::wstring text = L"快捷键配置无法保存到 config.ini，规则未更改：\r\n" +
                              SystemMessage(error) + L"（" + std::to_wstring(error) + L"）";
    ShowMessage(FromUtf16(text.c_str()));
}

// Changes config.ini as it is now and shows what it then holds.
bool ChangeRules(RuleSet& rules, ListViewControl& ruleList, const ConfigChange& change) {
    std::string now;
    const DWORD error = ChangeConfigFile(rules.configPath, change, now);
    if (error) {
        TellNotSaved(error);
        return false;
    }
    ShowRules(rules, ruleList, ReadRules(now));
    return true;
}

}  // namespace

std::wstring BuildConfigPath() {
    return ProgramDirectory() + L"\\config.ini";
}

void LoadRules(RuleSet& rules, ListViewControl& ruleList) {
    std::string bytes;
    if (ReadConfigFile(rules.configPath, bytes) == 0)
        ShowRules(rules, ruleList, ReadRules(bytes));
}

RuleAdded AppendRule(RuleSet& rules, ListViewControl& ruleList, const Rule& rule) {
    bool taken = false;
    const bool changed = ChangeRules(rules, ruleList, [&](std::string_view bytes) {
        for (const Rule& now : ReadRules(bytes))
            if (SameHotkeyIgnoringCase(now.key, rule.key)) {
                taken = true;
                return std::optional<std::string>();
            }
        return std::optional<std::string>(WithRuleAdded(bytes, rule.line));
    });
    if (!changed)
        return RuleAdded::kNotSaved;
    if (taken) {
        ShowMessage("快捷键配置已存在！");
        return RuleAdded::kKeyTaken;
    }
    return RuleAdded::kAdded;
}

bool DeleteRule(RuleSet& rules, ListViewControl& ruleList, int32_t row) {
    const std::vector<Rule>& loaded = rules.loaded;
    if (row < 0 || static_cast<size_t>(row) >= loaded.size())
        return false;
    // A copy: the change shows the file anew, which replaces the rules.
    const std::string line = loaded[row].line;
    return ChangeRules(rules, ruleList,
                       [&line](std::string_view bytes) { return WithRuleRemoved(bytes, line); });
}

int32_t DeleteSelectedRule(Application& app, int32_t row) {
    if (!app.controls.ruleList.HasFocus() || row < 0 ||
        static_cast<size_t>(row) >= app.rules.loaded.size())
        return 0;  // empty space: no rule to delete

    POINT cursor = {};
    GetCursorPos(&cursor);
    const int32_t command =
        app.controls.ruleMenu.TrackPopup(cursor.x, cursor.y, app.mainWindow, TPM_RETURNCMD);
    if (command == kDeleteRuleCommand)
        DeleteRule(app.rules, app.controls.ruleList, row);
    return 0;
}
