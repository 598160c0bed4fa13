#include "app/file_operation.h"

#include <windows.h>
#include <commctrl.h>

#include <string>
#include <vector>

#include "app/application.h"

void ApplyRuleToSelectedRows(Application& app, int32_t ruleRow) {
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
    ListViewControl& rules = app.controls.ruleList;
    const TextBlock operation = rules.GetItemText(ruleRow, kRuleOperationColumn);
    const std::wstring target = RuleTarget(app, ruleRow);
    const FileRows& files = app.fileRows;
    if (row < 0 || row >= files.RowCount())
        return;  // only rows already in the list
    // Any operation text other than the copy text means move.
    const bool copy = BlocksEqual(operation, TextBlock::FromWide(L"复制文件"));
    QueueFileOperation(app, row, copy, files.Path(row), target, std::wstring(files.Name(row)));
}
