#include "app/rules.h"

#include <windows.h>

#include "app/main_window.h"
#include "app/objects.h"
#include "app/rule_file.h"
#include "runtime/environment.h"

TextArray HotkeyList;
Text ConfigPath;

namespace {

Text CellText(ListViewControl& list, int32_t row, int32_t column) {
    return FromUtf16(list.GetItemText(row, column));
}

}  // namespace

Text BuildConfigPath() {
    return JoinTexts({ProgramDirectory().c_str(), "\\config.ini"});
}

void LoadRules() {
    ListViewControl& list = Objects().ruleList;
    const RuleSectionEntries entries = ReadRuleSection(ConfigPath, Text(kRuleSection));
    // With redraw on, every inserted row repaints the list: minutes for hundreds of rules.
    list.SuspendRedraw();
    for (int32_t i = 1; i <= entries.keys.Count(); ++i) {
        const HotkeyRule rule = RuleFromEntry(entries.keys.At(i), entries.values.At(i));
        const int32_t row = list.InsertItem();
        list.SetItemText(row, kRuleHotkeyColumn, ToUtf16(rule.hotkey));
        list.SetItemText(row, kRuleOperationColumn, ToUtf16(rule.operation));
        list.SetItemText(row, kRuleTargetColumn, ToUtf16(rule.target));
        HotkeyList.Append(rule.hotkey);
    }
    list.ResumeRedraw();
    list.Invalidate(true);
}

int32_t SaveAllRules() {
    ListViewControl& list = Objects().ruleList;
    const int32_t rows = list.GetItemCount();
    HotkeyList.Clear();
    for (int32_t row = 0; row < rows; ++row) {
        const Text hotkey = CellText(list, row, kRuleHotkeyColumn);
        const Text value = RuleValue(CellText(list, row, kRuleOperationColumn),
                                     CellText(list, row, kRuleTargetColumn));
        WritePrivateProfileStringA(kRuleSection, hotkey.c_str(), value.c_str(), ConfigPath.c_str());
        HotkeyList.Append(CellText(list, row, kRuleHotkeyColumn));
    }
    return rows;
}

int32_t DeleteSelectedRule(int32_t, int32_t) {
    ListViewControl& list = Objects().ruleList;
    if (!list.HasFocus() || list.GetItemCount() < 1)
        return 0;

    POINT cursor = {};
    GetCursorPos(&cursor);
    const int32_t command =
        Objects().ruleMenu.TrackPopup(cursor.x, cursor.y, MainWindowHandle, TPM_RETURNCMD);
    if (command != kDeleteRuleCommand)
        return 0;

    list.DeleteItem(list.GetSelectionMark());
    // A null key removes the whole section; the remaining rows are then written back.
    WritePrivateProfileStringA(kRuleSection, nullptr, nullptr, ConfigPath.c_str());
    SaveAllRules();
    return 0;
}
