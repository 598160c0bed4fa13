#include "app/rules.h"

#include <windows.h>

#include <string>
#include <vector>

#include "app/main_window.h"
#include "app/objects.h"
#include "runtime/environment.h"
#include "runtime/message.h"

TextArray HotkeyList;
std::wstring ConfigPath;

namespace {

// The file's line of each rule row, untrimmed: a save writes these back unchanged.
std::vector<std::string> RuleLines;
// The target directory of each rule row, whole.
std::vector<std::wstring> RuleTargets;

void ShowRules(const RuleSection& section) {
    ListViewControl& list = Objects().ruleList;
    // With redraw on, every inserted row repaints the list: minutes for hundreds of rules.
    list.SuspendRedraw();
    list.DeleteAllItems();
    HotkeyList.Clear();
    RuleLines.clear();
    RuleTargets.clear();
    for (const RuleSectionEntry& entry : section.entries) {
        const HotkeyRule rule = RuleFromEntry(entry);
        const int32_t row = list.InsertItem();
        list.SetItemText(row, kRuleHotkeyColumn, ToUtf16(rule.hotkey));
        list.SetItemText(row, kRuleOperationColumn, ToUtf16(rule.operation));
        const TextBlock target = ToUtf16(rule.target);
        list.SetItemText(row, kRuleTargetColumn, target);
        RuleTargets.emplace_back(target.WideView());
        HotkeyList.Append(rule.hotkey);
        RuleLines.push_back(entry.line);
    }
    list.ResumeRedraw();
    list.Invalidate(true);
}

// The system's text for an error code, without its final line break.
std::wstring SystemReason(DWORD error) {
    wchar_t* text = nullptr;
    const DWORD length = FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, error, 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
    std::wstring reason = length && text ? std::wstring(text, length) : std::wstring();
    LocalFree(text);
    while (!reason.empty() && (reason.back() == L'\n' || reason.back() == L'\r' ||
                               reason.back() == L' ' || reason.back() == L'.'))
        reason.pop_back();
    if (reason.empty())
        reason = L"错误代码 " + std::to_wstring(error);
    return reason;
}

void TellNotSaved(DWORD error) {
    const std::wstring text = L"快捷键配置无法保存到 config.ini，规则未更改：\r\n" +
                              SystemReason(error) + L"（" + std::to_wstring(error) + L"）";
    ShowMessage(FromUtf16(text.c_str()));
}

// Writes config.ini with `lines` as its rule lines and shows what it then holds.
bool SaveRuleLines(const std::vector<std::string>& lines) {
    std::string bytes;
    DWORD error = ReadConfigFile(ConfigPath, bytes);
    if (error == ERROR_FILE_NOT_FOUND)
        error = 0;
    std::string updated;
    if (!error) {
        updated = WithRuleLines(bytes, lines);
        error = ReplaceConfigFile(ConfigPath, updated);
    }
    if (error) {
        TellNotSaved(error);
        return false;
    }
    ShowRules(ParseRuleSection(updated));
    return true;
}

}  // namespace

std::wstring BuildConfigPath() {
    return ProgramDirectory() + L"\\config.ini";
}

std::wstring RuleTarget(int32_t row) {
    if (row < 0 || static_cast<size_t>(row) >= RuleTargets.size())
        return {};
    return RuleTargets[row];
}

void LoadRules() {
    std::string bytes;
    if (ReadConfigFile(ConfigPath, bytes) == 0)
        ShowRules(ParseRuleSection(bytes));
}

bool AppendRule(const HotkeyRule& rule) {
    std::vector<std::string> lines = RuleLines;
    lines.push_back(RuleLine(rule.hotkey, rule.operation, rule.target));
    return SaveRuleLines(lines);
}

bool DeleteRule(int32_t row) {
    if (row < 0 || static_cast<size_t>(row) >= RuleLines.size())
        return false;
    std::vector<std::string> lines = RuleLines;
    lines.erase(lines.begin() + row);
    return SaveRuleLines(lines);
}

int32_t DeleteSelectedRule(int32_t row, int32_t) {
    ListViewControl& list = Objects().ruleList;
    if (!list.HasFocus() || row < 0 || row >= list.GetItemCount())
        return 0;  // empty space: no rule to delete

    POINT cursor = {};
    GetCursorPos(&cursor);
    const int32_t command =
        Objects().ruleMenu.TrackPopup(cursor.x, cursor.y, MainWindowHandle, TPM_RETURNCMD);
    if (command == kDeleteRuleCommand)
        DeleteRule(row);
    return 0;
}
