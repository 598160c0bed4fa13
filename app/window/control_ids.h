// The child-window identifiers of the main window's and the rule dialog's controls. The
// builders pass each to its control's creation, so a control has the same identifier at
// every opening of its window. Other programs (accessibility tools, the test driver) find
// the controls by them: a value, once given, stays.
#pragma once

#include <cstdint>

namespace MainWindowIds {
inline constexpr int32_t kFileListId = 501;
inline constexpr int32_t kDirectoryLabelId = 502;
inline constexpr int32_t kDirectoryEditId = 503;
inline constexpr int32_t kChooseFolderButtonId = 504;
inline constexpr int32_t kReadListButtonId = 505;
inline constexpr int32_t kRulesButtonId = 506;
inline constexpr int32_t kRuleListId = 507;
}  // namespace MainWindowIds

namespace RuleDialogIds {
inline constexpr int32_t kHotkeyLabelId = 601;
inline constexpr int32_t kHotkeyEditId = 602;
inline constexpr int32_t kOperationLabelId = 603;
inline constexpr int32_t kOperationComboId = 604;
inline constexpr int32_t kTargetLabelId = 605;
inline constexpr int32_t kTargetEditId = 606;
inline constexpr int32_t kChooseTargetButtonId = 607;
inline constexpr int32_t kAddButtonId = 608;
inline constexpr int32_t kCancelButtonId = 609;
}  // namespace RuleDialogIds
