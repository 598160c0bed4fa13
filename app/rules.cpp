#include "app/rules.h"

#include <windows.h>

#include "app/main_window.h"
#include "app/objects.h"
#include "app/rule_file.h"

TextArray HotkeyList;
Text ConfigPath;

namespace {

enum RuleColumn : int32_t { kHotkeyColumn = 0, kOperationColumn = 1, kTargetColumn = 2 };
constexpr UINT_PTR kDeleteRuleCommand = 1;

Text CellText(ListViewControl& list, int32_t row, int32_t column) {
    return FromUtf16(list.GetItemText(row, column));
}

}  // namespace

Text BuildConfigPath() {
    char module[MAX_PATH + 1] = {};
    GetModuleFileNameA(nullptr, module, MAX_PATH);
    const Text path(module);
    // Cut at the last "\", stepping over two-byte characters.
    int32_t cut = -1;
    for (int32_t i = 0; i < path.Length();) {
        if (path.c_str()[i] == '\\') cut = i;
        i += static_cast<unsigned char>(path.c_str()[i]) >= 0x80 ? 2 : 1;
    }
    return JoinTexts({LeftOfText(path.c_str(), cut).c_str(), "\\config.ini"});
}

void LoadRules() {
    ListViewControl& list = Objects().ruleList;
    const RuleSectionEntries entries = ReadRuleSection(ConfigPath, Text(kRuleSection));
    for (int32_t i = 1; i <= entries.keys.Count(); ++i) {
        const HotkeyRule rule = RuleFromEntry(entries.keys.At(i), entries.values.At(i));
        const int32_t row = list.InsertItem();
        list.SetItemText(row, kHotkeyColumn, ToUtf16(rule.hotkey));
        list.SetItemText(row, kOperationColumn, ToUtf16(rule.operation));
        list.SetItemText(row, kTargetColumn, ToUtf16(rule.target));
        HotkeyList.Append(rule.hotkey);
    }
}

int32_t SaveAllRules() {
    ListViewControl& list = Objects().ruleList;
    const int32_t rows = list.GetItemCount();
    HotkeyList.Clear();
    for (int32_t row = 0; row < rows; ++row) {
        const Text hotkey = CellText(list, row, kHotkeyColumn);
        const Text value =
            RuleValue(CellText(list, row, kOperationColumn), CellText(list, row, kTargetColumn));
        WritePrivateProfileStringA(kRuleSection, hotkey.c_str(), value.c_str(), ConfigPath.c_str());
        HotkeyList.Append(CellText(list, row, kHotkeyColumn));
    }
    return rows;
}

int32_t DeleteSelectedRule(int32_t, int32_t) {
    ListViewControl& list = Objects().ruleList;
    if (!list.HasFocus() || list.GetItemCount() < 1) return 0;

    POINT cursor = {};
    GetCursorPos(&cursor);
    const int32_t command =
        Objects().ruleMenu.TrackPopup(cursor.x, cursor.y, MainWindowHandle, TPM_RETURNCMD);
    if (command != kDeleteRuleCommand) return 0;

    list.DeleteItem(list.GetSelectionMark());
    // A null key removes the whole section; the remaining rows are then written back.
    WritePrivateProfileStringA(kRuleSection, nullptr, nullptr, ConfigPath.c_str());
    SaveAllRules();
    return 0;
}
