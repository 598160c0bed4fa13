#include "app/file_operation.h"

#include <windows.h>
#include <commctrl.h>

#include <string>
#include <vector>

#include "app/background_operations.h"
#include "app/file_enumeration.h"
#include "app/file_list.h"
#include "app/objects.h"
#include "app/rules.h"

namespace {

// The file's own name: the last component of its recorded full path. The row shows the
// name after a round trip through code page 936, which cannot hold every character.
std::wstring_view OwnName(const TextBlock& path) {
    const std::wstring_view full = path.WideView();
    const size_t separator = full.find_last_of(L'\\');
    return separator == std::wstring_view::npos ? full : full.substr(separator + 1);
}

}  // namespace

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
    const std::wstring target(rules.GetItemText(ruleRow, kRuleTargetColumn).WideView());
    if (row < 0 || row >= FilePathList.Count())
        return;
    const TextBlock& source = FilePathList.At(row + 1);
    // Any operation text other than the copy text means move.
    const bool copy = BlocksEqual(operation, TextBlock::FromWide(L"复制文件"));
    QueueFileOperation(row, copy, std::wstring(source.WideView()), target,
                       std::wstring(OwnName(source)));
}
