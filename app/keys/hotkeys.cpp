#include "app/keys/hotkeys.h"

#include "app/window/application.h"
#include "app/operations/file_operation.h"
#include "app/operations/undo_history.h"
#include "runtime/message.h"

namespace {

// Keys that may not become hotkeys: the list's navigation keys and the Windows key.
bool IsReservedKey(int32_t key) {
    return key == VK_UP || key == VK_DOWN || key == VK_END || key == VK_HOME || key == VK_LWIN;
}

bool IsModifierKey(int32_t key) {
    return ModifierValueOf(key) != 0 || key == VK_SHIFT || key == VK_CONTROL || key == VK_MENU;
}

}  // namespace

void InstallHotkeys(Application& app, HWND fileList) {
    AttachFileListKeys(app, fileList);
    app.keyboardHook.Install([&app](const KeyEvent& event) { HotkeyHandler(app, event); });
}

Text CombinationName(const Text& modifierName, const Text& keyName) {
    return JoinTexts({modifierName.c_str(), "+", keyName.c_str()});
}

Text HotkeyText(int32_t modifier, int32_t key, int32_t scanCode, bool extended) {
    if (modifier == 0)
        return KeyName(scanCode, extended);
    // The modifier key itself names nothing: a plain-key rule never fires while a modifier
    // is held, and the hotkey field keeps its text.
    if (IsModifierKey(key))
        return Text("");
    return CombinationName(ModifierName(modifier), KeyName(scanCode, extended));
}

void HotkeyHandler(Application& app, const KeyEvent& event) {
    ApplicationObjects& objects = app.controls;
    if (!objects.ruleDialog.Exists() || !objects.hotkeyEdit.HasFocus())
        return;
    if (IsReservedKey(event.key)) {
        ShowMessage("程序保留键代码，禁止使用！");
        return;
    }
    if (event.direction != kKeyDown)
        return;
    const Text name = HotkeyText(event.modifier, event.key, event.scanCode, event.extended);
    if (!(name == Text("")))
        objects.hotkeyEdit.SetText(ToUtf16(name));
}

bool FireFileListHotkey(Application& app, int32_t key, LPARAM keyData, DWORD time) {
    const int32_t scanCode = static_cast<int32_t>((keyData >> 16) & 0xFF);
    const bool extended = ((keyData >> 24) & 1) != 0;
    const std::optional<int32_t> modifier =
        app.keyboardHook.TakeRecordedModifier(scanCode, extended, time);
    if (!modifier || app.controls.fileList.GetItemCount() < 1)
        return false;
    const Text name = HotkeyText(*modifier, key, scanCode, extended);
    if (name == Text(""))
        return false;
    if (const Rule* rule = FindRule(app.rules.loaded, name.View())) {
        // A copy: a box the rule shows lets the user change the rules meanwhile.
        ApplyRuleToSelectedRows(app, Rule(*rule));
        return true;
    }
    // Ctrl+Z undoes, unless a rule has taken it.
    if (*modifier == VK_CONTROL && key == 'Z') {
        UndoMostRecent(app);
        return true;
    }
    return false;
}
