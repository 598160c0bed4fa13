#include "app/rule_dialog.h"

#include <shlobj.h>

#include "app/main_window.h"
#include "app/objects.h"
#include "app/rules.h"
#include "runtime/binding.h"
#include "runtime/message.h"

namespace {

constexpr DWORD kDialogStyle = WS_CLIPCHILDREN | WS_SYSMENU;
constexpr int32_t kDialogWidth = 343;
constexpr int32_t kDialogHeight = 272;
constexpr int32_t kCentred = 3;

bool IsEmpty(const TextBlock& text) {
    return text.WideLength() == 0;
}

}  // namespace

int32_t OpenRuleDialog() {
    const TextBlock title = ToUtf16(Text("规则配置"));
    Objects().ruleDialog.Show(MainWindowHandle, &title, &BuildRuleDialog, 1, std::nullopt,
                              std::nullopt, kDialogWidth, kDialogHeight, kDialogStyle);
    return 0;
}

int32_t BuildRuleDialog(HWND dialog) {
    ApplicationObjects& o = Objects();
    o.ruleDialog.WindowState(kCentred);

    o.hotkeyLabel.Create(dialog, ToUtf16(Text("1：快捷键")), std::nullopt, 8, 8, 56, 24);
    o.hotkeyEdit.Create(dialog, TextBlock::EmptyWide(), ES_READONLY | ES_CENTER, 8, 40, 320, 20);
    o.operationLabel.Create(dialog, ToUtf16(Text("2：操作类型")), std::nullopt, 8, 72, 88, 24);
    o.operationCombo.Create(dialog, CBS_DROPDOWNLIST, 8, 105, 320, 100, 1024);
    o.operationCombo.AddItem(ToUtf16(Text("复制文件")));
    o.operationCombo.AddItem(ToUtf16(Text("移动文件")));
    o.operationCombo.SetCurSel(0);
    o.targetLabel.Create(dialog, ToUtf16(Text("3：目标目录")), std::nullopt, 8, 136, 120, 24);
    o.targetEdit.Create(dialog, TextBlock::EmptyWide(), std::nullopt, 8, 168, 240, 20);

    o.chooseTargetButton.Create(dialog, ToUtf16(Text("选择目录")), std::nullopt, 0, 256, 166, 72,
                                24);
    o.chooseTargetButton.SetClickHandler(&ChooseTargetDirectory);
    o.addButton.SetClickHandler(&AddRule);
    o.cancelButton.SetClickHandler(&CloseRuleDialog);
    o.addButton.Create(dialog, ToUtf16(Text("添加规则")), std::nullopt, 0, 176, 208, 72, 24);
    o.cancelButton.Create(dialog, ToUtf16(Text("取消")), std::nullopt, 0, 256, 208, 72, 24);
    return 0;
}

int32_t ChooseTargetDirectory() {
    FolderBrowser& browser = Objects().dialogFolderBrowser;
    browser.Configure(ToUtf16(Text("请选择一个文件夹")), std::nullopt, BIF_RETURNONLYFSDIRS);
    browser.Browse(nullptr);
    const TextBlock path = browser.GetPath();
    if (!IsEmpty(path))
        Objects().targetEdit.Text(path);
    return 0;
}

int32_t AddRule() {
    ApplicationObjects& o = Objects();
    if (IsEmpty(o.hotkeyEdit.Text())) {
        ShowMessage("快捷键不能为空！");
        return 0;
    }
    if (IsEmpty(o.targetEdit.Text())) {
        ShowMessage("目标文件夹不能为空！");
        return 0;
    }
    const TextBlock hotkeyText = o.hotkeyEdit.Text();
    const TextBlock targetText = o.targetEdit.Text();
    const RuleTextProblem problem = CheckRuleTexts(hotkeyText.WideView(), targetText.WideView());
    // A relative target would name another folder whenever the current directory changes.
    if (problem == RuleTextProblem::kTargetRelative ||
        !SystemFunctions::PathIsDirectoryW(targetText.Wide())) {
        ShowMessage("不是有效的文件夹目录！");
        return 0;
    }
    if (problem == RuleTextProblem::kTargetNotStorable) {
        ShowMessage("目标目录含有无法保存的字符！");
        return 0;
    }
    if (problem == RuleTextProblem::kHotkeyNotStorable) {
        ShowMessage("这个快捷键的名称无法保存到配置文件！");
        return 0;
    }
    // Keys that differ only in case are one key to the file.
    const Text hotkey = FromUtf16(hotkeyText);
    for (int32_t i = 1; i <= HotkeyList.Count(); ++i) {
        if (SameHotkeyIgnoringCase(HotkeyList.At(i).View(), hotkey.View())) {
            ShowMessage("快捷键配置已存在！");
            return 0;
        }
    }

    const TextBlock operation = o.operationCombo.GetItemText(o.operationCombo.GetCurSel());
    AppendRule({hotkey, FromUtf16(operation), FromUtf16(targetText)});
    return 0;
}

int32_t CloseRuleDialog() {
    Objects().ruleDialog.Send(WM_CLOSE, 0, 0);
    return 0;
}
