#include "app/file_operation.h"

#include <windows.h>
#include <commctrl.h>

#include <string>
#include <vector>

#include "app/exact_path.h"
#include "app/file_enumeration.h"
#include "app/file_list.h"
#include "app/media_preview.h"
#include "app/objects.h"
#include "app/rules.h"

namespace {

void WriteCell(int32_t row, int32_t column, const wchar_t* text) {
    Objects().fileList.SetItemText(row, column, TextBlock::FromWide(text));
}

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
    const std::wstring destination = target + L"\\" + std::wstring(OwnName(source));

    // Any operation text other than the copy text means move.
    const bool copy = BlocksEqual(operation, TextBlock::FromWide(L"复制文件"));
    WriteCell(row, kFileOperationColumn, copy ? L"复制文件" : L"移动文件");

    // A rule without a target directory (possible only in an edited file) would put the
    // file into the root of the current drive: it fails without touching any file.
    BOOL done = FALSE;
    if (!target.empty()) {
        if (copy) {
            done = CopyFileW(ExactPath(source.WideView()).c_str(), ExactPath(destination).c_str(),
                             TRUE);
        } else {
            ReleasePreviewedFile(source);
            done = MoveFileW(ExactPath(source.WideView()).c_str(), ExactPath(destination).c_str());
        }
    }
    if (copy)
        WriteCell(row, kFileResultColumn, done ? L"复制成功" : L"复制失败");
    else
        WriteCell(row, kFileResultColumn, done ? L"移动成功" : L"移动失败");
}
