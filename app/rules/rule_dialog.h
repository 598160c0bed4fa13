// The modal dialog "规则配置" in which rules are added one at a time.
#pragma once

#include <windows.h>

#include <cstdint>

struct Application;

// Click handler of "快捷键规则配置": shows the dialog modally over the main window.
int32_t OpenRuleDialog(Application& app);
// The dialog's creation handler: centres it and creates its nine controls.
int32_t BuildRuleDialog(Application& app, HWND dialog);
// Places the dialog's controls for `dpi` (positions, sizes, font); run at creation when
// the DPI is not 96, and whenever the dialog's DPI changes.
void LayOutRuleDialog(Application& app, UINT dpi);
// Click handlers of "选择目录", "添加规则" and "取消".
int32_t ChooseTargetDirectory(Application& app);
int32_t AddRule(Application& app);
int32_t CloseRuleDialog(Application& app);
