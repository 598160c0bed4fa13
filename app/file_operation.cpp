#include "app/file_operation.h"

#include <windows.h>
#include <commctrl.h>

#include <string>
#include <vector>

#include "app/application.h"

void ApplyRuleToSelectedRows(Application& app, int32_t ruleRow) {
    if (RuleOperationOf(app, ruleRow) == RuleOperation::kNone) {
        TellInvalidOperation(app, ruleRow);
        return;
    }
    // The selected rows are read before the first operation, so each is done once. The
    // list is asked for them one after another, which also works on a large list.
    ListViewControl& files = app.controls.fileList;
    std::vector<int32_t> rows;
    for (LRESULT row = files.Send(LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED);
         row >= 0; row = files.Send(LVM_GETNEXTITEM, static_cast<WPARAM>(row), LVNI_SELECTED))
        rows.push_back(static_cast<int32_t>(row));
    for (const int32_t row : rows)
        ApplyRuleToRow(app, ruleRow, row);
}

void ApplyRuleToRow(Application& app, int32_t ruleRow, int32_t row) {
    const RuleOperation operation = RuleOperationOf(app, ruleRow);
    const FileRows& files = app.fileRows;
    if (operation == RuleOperation::kNone || row < 0 || row >= files.RowCount())
        return;  // a rule that names no operation, or a row not in the list
    QueueFileOperation(app, row, operation == RuleOperation::kCopy, files.Path(row),
                       RuleTarget(app, ruleRow), std::wstring(files.Name(row)));
}
