// The modal dialog "规则配置" in which rules are added one at a time.
#pragma once

#include <windows.h>

#include <cstdint>

// Click handler of "快捷键规则配置": shows the dialog modally over the main window.
int32_t OpenRuleDialog();
// The dialog's creation handler: centres it and creates its nine controls.
int32_t BuildRuleDialog(HWND dialog);
// Places the dialog's controls for `dpi` (positions, sizes, font); run at creation when
// the DPI is not 96, and whenever the dialog's DPI changes.
void LayOutRuleDialog(UINT dpi);
// Click handlers of "选择目录", "添加规则" and "取消".
int32_t ChooseTargetDirectory();
int32_t AddRule();
int32_t CloseRuleDialog();
