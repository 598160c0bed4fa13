#include "app/file_operation.h"

#include <windows.h>
#include <commctrl.h>

#include <string>
#include <vector>

#include "app/background_operations.h"
#include "app/file_list.h"
#include "app/file_rows.h"
#include "app/objects.h"
#include "app/rules.h"

void ApplyRuleToSelectedRows(int32_t ruleRow) {
    // The selected rows are read before the first operation, so each is done once. The
    // list is asked for them one after another, which also works on a large list.
    ListViewControl& files = Objects().fileList;
    std::vector<int32_t> rows;
    for (LRESULT row = files.Send(LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED);
         row >= 0; row = files.Send(LVM_GETNEXTITEM, static_cast<WPARAM>(row), LVNI_SELECTED))
        rows.push_back(static_cast<int32_t>(row));
    for (const int32_t row : rows)
        ApplyRuleToRow(ruleRow, row);
}

void ApplyRuleToRow(int32_t ruleRow, int32_t row) {
    ListViewControl& rules = Objects().ruleList;
    const TextBlock operation = rules.GetItemText(ruleRow, kRuleOperationColumn);
    const std::wstring target = RuleTarget(ruleRow);
    if (row < 0 || row >= FileRowStore().RowCount())
        return;  // only rows already in the list
    // Any operation text other than the copy text means move.
    const bool copy = BlocksEqual(operation, TextBlock::FromWide(L"复制文件"));
    QueueFileOperation(row, copy, FileRowStore().Path(row), target,
                       std::wstring(FileRowStore().Name(row)));
}
