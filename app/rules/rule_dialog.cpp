#include "app/rules/rule_dialog.h"

#include <shlobj.h>

#include <iterator>

#include "app/window/application.h"
#include "app/window/control_ids.h"
#include "app/window/layout.h"
#include "runtime/binding.h"
#include "runtime/message.h"

namespace {

constexpr DWORD kDialogStyle = WS_CLIPCHILDREN | WS_SYSMENU;
// The operation box has always carried this extended style (0x400).
constexpr DWORD kOperationComboExtendedStyle = WS_EX_CONTEXTHELP;

// The operation box's items, in order.
constexpr RuleOperation kOperationChoices[] = {RuleOperation::kCopy, RuleOperation::kMove};

// The operation chosen in the box. A drop-down list keeps an item chosen from its creation
// on; without one, the first item counts, as the box first shows it.
RuleOperation ChosenOperation(const ComboBoxControl& box) {
    const int32_t chosen = box.GetCurSel();
    const bool listed = chosen >= 0 && chosen < static_cast<int32_t>(std::size(kOperationChoices));
    return kOperationChoices[listed ? chosen : 0];
}

bool IsEmpty(const TextBlock& text) {
    return text.WideLength() == 0;
}

}  // namespace

int32_t OpenRuleDialog(Application& app) {
    const TextBlock title = ToUtf16(Text("规则配置"));
    const LayoutSize size = ScaleForDpi(RuleDialogLayout::kWindow, WindowDpi(app.mainWindow));
    app.controls.ruleDialog.Show(
        {.parent = app.mainWindow,
         .title = &title,
         .onCreate = [&app](HWND dialog) { return BuildRuleDialog(app, dialog); },
         .modal = true,
         .width = size.width,
         .height = size.height,
         .style = kDialogStyle});
    return 0;
}

void LayOutRuleDialog(Application& app, UINT dpi) {
    using namespace RuleDialogLayout;
    ApplicationObjects& o = app.controls;
    PlaceControls(app.fonts,
                  {{&o.hotkeyLabel, kHotkeyLabel},
                   {&o.hotkeyEdit, kHotkeyEdit},
                   {&o.operationLabel, kOperationLabel},
                   {&o.operationCombo, kOperationCombo},
                   {&o.targetLabel, kTargetLabel},
                   {&o.targetEdit, kTargetEdit},
                   {&o.chooseTargetButton, kChooseTargetButton},
                   {&o.addButton, kAddButton},
                   {&o.cancelButton, kCancelButton}},
                  dpi);
}

int32_t BuildRuleDialog(Application& app, HWND dialog) {
    using namespace RuleDialogLayout;
    using namespace RuleDialogIds;
    ApplicationObjects& o = app.controls;
    o.ruleDialog.SetState(WindowState::kCentred);

    o.hotkeyLabel.Create(dialog, ChildWindowId{kHotkeyLabelId}, ToUtf16(Text("1：快捷键")),
                         std::nullopt, kHotkeyLabel.x, kHotkeyLabel.y, kHotkeyLabel.width,
                         kHotkeyLabel.height);
    o.hotkeyEdit.Create(dialog, ChildWindowId{kHotkeyEditId}, TextBlock::EmptyWide(),
                        ES_READONLY | ES_CENTER, kHotkeyEdit.x, kHotkeyEdit.y, kHotkeyEdit.width,
                        kHotkeyEdit.height);
    o.operationLabel.Create(dialog, ChildWindowId{kOperationLabelId}, ToUtf16(Text("2：操作类型")),
                            std::nullopt, kOperationLabel.x, kOperationLabel.y,
                            kOperationLabel.width, kOperationLabel.height);
    o.operationCombo.Create(dialog, ChildWindowId{kOperationComboId}, CBS_DROPDOWNLIST,
                            kOperationCombo.x, kOperationCombo.y, kOperationCombo.width,
                            kOperationCombo.height, kOperationComboExtendedStyle);
    for (const RuleOperation operation : kOperationChoices)
        o.operationCombo.AddItem(ToUtf16(Text(OperationText(operation))));
    o.operationCombo.SetCurSel(0);
    o.targetLabel.Create(dialog, ChildWindowId{kTargetLabelId}, ToUtf16(Text("3：目标目录")),
                         std::nullopt, kTargetLabel.x, kTargetLabel.y, kTargetLabel.width,
                         kTargetLabel.height);
    o.targetEdit.Create(dialog, ChildWindowId{kTargetEditId}, TextBlock::EmptyWide(), std::nullopt,
                        kTargetEdit.x, kTargetEdit.y, kTargetEdit.width, kTargetEdit.height);

    o.chooseTargetButton.Create(dialog, ChildWindowId{kChooseTargetButtonId},
                                ToUtf16(Text("选择目录")), 0, kChooseTargetButton.x,
                                kChooseTargetButton.y, kChooseTargetButton.width,
                                kChooseTargetButton.height);
    o.chooseTargetButton.SetClickHandler([&app] { return ChooseTargetDirectory(app); });
    o.addButton.SetClickHandler([&app] { return AddRule(app); });
    o.cancelButton.SetClickHandler([&app] { return CloseRuleDialog(app); });
    o.addButton.Create(dialog, ChildWindowId{kAddButtonId}, ToUtf16(Text("添加规则")), 0,
                       kAddButton.x, kAddButton.y, kAddButton.width, kAddButton.height);
    o.cancelButton.Create(dialog, ChildWindowId{kCancelButtonId}, ToUtf16(Text("取消")), 0,
                          kCancelButton.x, kCancelButton.y, kCancelButton.width,
                          kCancelButton.height);
    // At 96 DPI the controls keep the sizes and the stock font they were created with.
    const UINT dpi = WindowDpi(dialog);
    if (dpi != kBaseDpi)
        LayOutRuleDialog(app, dpi);
    FollowDpiChanges(o.ruleDialog, [&app](UINT newDpi) { LayOutRuleDialog(app, newDpi); });
    return 0;
}

int32_t ChooseTargetDirectory(Application& app) {
    FolderBrowser& browser = app.controls.dialogFolderBrowser;
    browser.Configure(ToUtf16(Text("请选择一个文件夹")), std::nullopt, BIF_RETURNONLYFSDIRS);
    browser.Browse(nullptr);
    const TextBlock path = browser.GetPath();
    if (!IsEmpty(path))
        app.controls.targetEdit.SetText(path);
    return 0;
}

int32_t AddRule(Application& app) {
    ApplicationObjects& o = app.controls;
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
    // A key taken already is refused by the file as it is now: keys that differ only in case
    // are one key to it.
    const Text hotkey = FromUtf16(hotkeyText);
    const Text target = FromUtf16(targetText);
    AppendRule(app.rules, app.controls.ruleList,
               NewRule(hotkey.View(), ChosenOperation(o.operationCombo), target.View()));
    return 0;
}

int32_t CloseRuleDialog(Application& app) {
    app.controls.ruleDialog.Send(WM_CLOSE, 0, 0);
    return 0;
}
