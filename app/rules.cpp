#include "app/rules.h"

#include <windows.h>

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "app/application.h"
#include "runtime/environment.h"
#include "runtime/message.h"

namespace {

void ShowRules(Application& app, const RuleSection& section) {
    ListViewControl& list = app.controls.ruleList;
    RuleSet& rules = app.rules;
    // With redraw on, every inserted row repaints the list: minutes for hundreds of rules.
    list.SuspendRedraw();
    list.DeleteAllItems();
    rules.hotkeys.Clear();
    rules.lines.clear();
    rules.targets.clear();
    rules.operations.clear();
    rules.operationTexts.clear();
    for (const RuleSectionEntry& entry : section.entries) {
        const HotkeyRule rule = RuleFromEntry(entry);
        const int32_t row = list.InsertItem();
        list.SetItemText(row, kRuleHotkeyColumn, ToUtf16(rule.hotkey));
        list.SetItemText(row, kRuleOperationColumn, ToUtf16(rule.operation));
        const TextBlock target = ToUtf16(rule.target);
        list.SetItemText(row, kRuleTargetColumn, target);
        rules.targets.emplace_back(target.WideView());
        rules.hotkeys.Append(rule.hotkey);
        rules.lines.push_back(entry.line);
        rules.operations.push_back(OperationOf(rule.operation.View()));
        rules.operationTexts.emplace_back(rule.operation.View());
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

// Changes config.ini as it is now and shows what it then holds.
bool ChangeRules(Application& app, const ConfigChange& change) {
    std::string now;
    const DWORD error = ChangeConfigFile(app.rules.configPath, change, now);
    if (error) {
        TellNotSaved(error);
        return false;
    }
    ShowRules(app, ParseRuleSection(now));
    return true;
}

}  // namespace

std::wstring BuildConfigPath() {
    return ProgramDirectory() + L"\\config.ini";
}

std::wstring RuleTarget(const Application& app, int32_t row) {
    const std::vector<std::wstring>& targets = app.rules.targets;
    if (row < 0 || static_cast<size_t>(row) >= targets.size())
        return {};
    return targets[row];
}

void LoadRules(Application& app) {
    std::string bytes;
    if (ReadConfigFile(app.rules.configPath, bytes) == 0)
        ShowRules(app, ParseRuleSection(bytes));
}

RuleOperation RuleOperationOf(const Application& app, int32_t row) {
    const std::vector<RuleOperation>& operations = app.rules.operations;
    if (row < 0 || static_cast<size_t>(row) >= operations.size())
        return RuleOperation::kNone;
    return operations[row];
}

void TellInvalidOperation(const Application& app, int32_t row) {
    const std::vector<std::string>& texts = app.rules.operationTexts;
    const bool exists = row >= 0 && static_cast<size_t>(row) < texts.size();
    const std::string text = "快捷键规则的操作无效：" + (exists ? texts[row] : std::string());
    ShowMessage(Text(text.c_str()));
}

bool AppendRule(Application& app, const HotkeyRule& rule) {
    const std::string line = RuleLine(rule.hotkey, rule.operation, rule.target);
    return ChangeRules(app, [&line](std::string_view bytes) {
        return std::optional<std::string>(WithRuleAdded(bytes, line));
    });
}

bool DeleteRule(Application& app, int32_t row) {
    if (row < 0 || static_cast<size_t>(row) >= app.rules.lines.size())
        return false;
    const std::string line = app.rules.lines[row];
    return ChangeRules(app,
                       [&line](std::string_view bytes) { return WithRuleRemoved(bytes, line); });
}

int32_t DeleteSelectedRule(Application& app, int32_t row) {
    ListViewControl& list = app.controls.ruleList;
    if (!list.HasFocus() || row < 0 || row >= list.GetItemCount())
        return 0;  // empty space: no rule to delete

    POINT cursor = {};
    GetCursorPos(&cursor);
    const int32_t command =
        app.controls.ruleMenu.TrackPopup(cursor.x, cursor.y, app.mainWindow, TPM_RETURNCMD);
    if (command == kDeleteRuleCommand)
        DeleteRule(app, row);
    return 0;
}
