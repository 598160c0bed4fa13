#include "app/operations/file_operation.h"

#include <windows.h>
#include <commctrl.h>

#include <string>
#include <vector>

#include "app/operations/move_on.h"
#include "app/window/application.h"
#include "app/window/full_screen.h"
#include "runtime/message.h"

namespace {

// Tells, in a box titled "信息", that the rule names no operation it can carry out.
void TellInvalidOperation(const Rule& rule) {
    const std::string text = "快捷键规则的操作无效：" + rule.operationText;
    ShowMessage(Text(text.c_str()));
}

}  // namespace

void ApplyRuleToSelectedRows(Application& app, const Rule& rule) {
    if (rule.operation == RuleOperation::kInvalid) {
        TellInvalidOperation(rule);
        return;
    }
    // The selected rows are read before the first operation, so each is done once, in the
    // order the list shows them.
    const std::vector<int32_t> rows = SelectedRows(app);
    for (const int32_t row : rows)
        ApplyRuleToRow(app, rule, row);
    if (!rows.empty())
        NoteFullScreenRule(app, rows.back(), TargetPath(rule));
    MoveOnAfterRule(app, rows);
}

void ApplyRuleToRow(Application& app, const Rule& rule, int32_t row) {
    const FileRows& files = app.fileRows;
    if (rule.operation == RuleOperation::kInvalid || row < 0 || row >= files.RowCount())
        return;  // a rule that names no operation, or a row not in the list
    QueueFileOperation(app, row, rule.operation == RuleOperation::kCopy, files.Path(row),
                       TargetPath(rule), std::wstring(files.Name(row)));
}
