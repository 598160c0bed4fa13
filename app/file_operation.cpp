#include "app/file_operation.h"

#include <windows.h>
#include <commctrl.h>

#include <string>
#include <vector>

#include "app/exact_path.h"
#include "app/file_list.h"
#include "app/file_rows.h"
#include "app/media_preview.h"
#include "app/objects.h"
#include "app/rules.h"

namespace {

void ShowOperation(int32_t row, RowOperation operation) {
    FileRowStore().SetOperation(row, operation);
    Objects().fileList.RedrawRow(row);
}

void ShowResult(int32_t row, RowResult result) {
    FileRowStore().SetResult(row, result);
    Objects().fileList.RedrawRow(row);
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
    if (row < 0 || row >= FileRowStore().RowCount())
        return;  // only rows already in the list
    const std::wstring source = FileRowStore().Path(row);
    const std::wstring destination = target + L"\\" + std::wstring(FileRowStore().Name(row));

    // Any operation text other than the copy text means move.
    const bool copy = BlocksEqual(operation, TextBlock::FromWide(L"复制文件"));
    ShowOperation(row, copy ? RowOperation::kCopy : RowOperation::kMove);

    // A rule without a target directory (possible only in an edited file) would put the
    // file into the root of the current drive: it fails without touching any file.
    BOOL done = FALSE;
    if (!target.empty()) {
        if (copy) {
            done = CopyFileW(ExactPath(source).c_str(), ExactPath(destination).c_str(), TRUE);
        } else {
            ReleasePreviewedFile(TextBlock::FromWide(source));
            done = MoveFileW(ExactPath(source).c_str(), ExactPath(destination).c_str());
        }
    }
    if (copy)
        ShowResult(row, done ? RowResult::kCopied : RowResult::kCopyFailed);
    else
        ShowResult(row, done ? RowResult::kMoved : RowResult::kMoveFailed);
}
