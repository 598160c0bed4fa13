#include "tests/support/layout_expectations.h"

#include <cstdlib>

#include "tests/support/zemo_app.h"

LayoutBox BoxOf(const RECT& rect) {
    return {rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top};
}

bool BoxNear(const LayoutBox& expected, const LayoutBox& actual, int32_t tolerance) {
    const auto within = [&](int32_t a, int32_t b) { return std::abs(a - b) <= tolerance; };
    return within(expected.x, actual.x) && within(expected.y, actual.y) &&
           within(expected.x + expected.width, actual.x + actual.width) &&
           within(expected.y + expected.height, actual.y + actual.height);
}

std::ostream& operator<<(std::ostream& out, const LayoutBox& box) {
    return out << "(" << box.x << ", " << box.y << ", " << box.width << " x " << box.height << ")";
}

std::vector<ExpectedControl> MainWindowControls() {
    using namespace MainWindowLayout;
    return {
        {kFileListId, kFileList, nullptr},
        {kDirectoryLabelId, kDirectoryLabel, L"需要处理的文件目录："},
        {kDirectoryEditId, kDirectoryEdit, L""},
        {kChooseFolderButtonId, kChooseFolderButton, L"选择文件夹"},
        {kReadListButtonId, kReadListButton, L"读取文件列表"},
        {kRulesButtonId, kRulesButton, L"快捷键规则配置"},
        {kRuleListId, kRuleList, nullptr},
    };
}

std::vector<LayoutBox> RuleDialogBoxes() {
    using namespace RuleDialogLayout;
    return {kHotkeyLabel, kHotkeyEdit,         kOperationLabel, kOperationCombo, kTargetLabel,
            kTargetEdit,  kChooseTargetButton, kAddButton,      kCancelButton};
}
