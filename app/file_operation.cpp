#include "app/file_operation.h"

#include <windows.h>

#include <string>

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

void ApplyRule(int32_t ruleRow) {
    ListViewControl& rules = Objects().ruleList;
    VirtualListViewControl& files = Objects().fileList;
    const TextBlock operation = rules.GetItemText(ruleRow, kRuleOperationColumn);
    const std::wstring target(rules.GetItemText(ruleRow, kRuleTargetColumn).WideView());

    const int32_t row = files.GetSelectionMark();
    if (row < 0 || row >= FileRowStore().RowCount())
        return;  // no current row: no file to work on
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
            done = CopyFileW(source.c_str(), destination.c_str(), TRUE);
        } else {
            ReleasePreviewedFile(TextBlock::FromWide(source));
            done = MoveFileW(source.c_str(), destination.c_str());
        }
    }
    if (copy)
        ShowResult(row, done ? RowResult::kCopied : RowResult::kCopyFailed);
    else
        ShowResult(row, done ? RowResult::kMoved : RowResult::kMoveFailed);
}
