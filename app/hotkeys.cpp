#include "app/hotkeys.h"

#include <windows.h>

#include "app/background_operations.h"
#include "app/file_operation.h"
#include "app/keyboard_hook.h"
#include "app/objects.h"
#include "app/rules.h"
#include "runtime/message.h"

namespace {

// Keys that may not become hotkeys: the list's navigation keys and the Windows key.
bool IsReservedKey(int32_t key) {
    return key == VK_UP || key == VK_DOWN || key == VK_END || key == VK_HOME || key == VK_LWIN;
}

// Index of the first rule whose hotkey equals `name`, or -1.
int32_t FindRule(const Text& name) {
    for (int32_t i = 1; i <= HotkeyList.Count(); ++i)
        if (HotkeyList.At(i) == name)
            return i - 1;
    return -1;
}

void Capture(int32_t modifier, int32_t direction, const Text& modifierName, const Text& keyName) {
    EditControl& field = Objects().hotkeyEdit;
    if (direction != kKeyDown)
        return;
    if (modifier > 0) {
        // The modifier key itself leaves the field as it is.
        if (!(keyName == modifierName))
            field.Text(ToUtf16(CombinationName(modifierName, keyName)));
    } else {
        field.Text(ToUtf16(keyName));
    }
}

void Dispatch(int32_t modifier, int32_t direction, const Text& modifierName, const Text& keyName) {
    if (direction != kKeyDown || HotkeyList.Count() < 1)
        return;
    int32_t rule = -1;
    if (modifier > 0) {
        // A plain-key rule never fires while a modifier is held.
        if (!(keyName == modifierName))
            rule = FindRule(CombinationName(modifierName, keyName));
    } else {
        rule = FindRule(keyName);
    }
    if (rule >= 0)
        ApplyRule(rule);
    else if (modifier == VK_CONTROL && keyName == KeyName('Z'))
        UndoMostRecent();  // only when no rule takes Ctrl+Z
}

}  // namespace

Text CombinationName(const Text& modifierName, const Text& keyName) {
    return JoinTexts({modifierName.c_str(), "+", keyName.c_str()});
}

void HotkeyHandler(int32_t modifier, int32_t key, int32_t direction) {
    const Text modifierName = KeyName(modifier);
    const Text keyName = KeyName(key);

    ApplicationObjects& objects = Objects();
    if (objects.ruleDialog.Exists() && objects.hotkeyEdit.HasFocus()) {
        if (IsReservedKey(key)) {
            ShowMessage("程序保留键代码，禁止使用！");
            return;
        }
        Capture(modifier, direction, modifierName, keyName);
    }

    if (objects.fileList.HasFocus() && objects.fileList.GetItemCount() >= 1)
        Dispatch(modifier, direction, modifierName, keyName);
}
