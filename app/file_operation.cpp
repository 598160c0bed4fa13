#include "app/file_operation.h"

#include <windows.h>

#include <string>

#include "app/exact_path.h"
#include "app/file_enumeration.h"
#include "app/file_list.h"
#include "app/whole_or_nothing.h"
#include "app/media_preview.h"
#include "app/objects.h"
#include "app/rules.h"

namespace {

void WriteCell(int32_t column, const wchar_t* text) {
    ListViewControl& files = Objects().fileList;
    files.SetItemText(files.GetSelectionMark(), column, TextBlock::FromWide(text));
}

// The file's own name: the last component of its recorded full path. The row shows the
// name after a round trip through code page 936, which cannot hold every character.
std::wstring_view OwnName(const TextBlock& path) {
    const std::wstring_view full = path.WideView();
    const size_t separator = full.find_last_of(L'\\');
    return separator == std::wstring_view::npos ? full : full.substr(separator + 1);
}

}  // namespace

void ApplyRule(int32_t ruleRow) {
    ListViewControl& rules = Objects().ruleList;
    ListViewControl& files = Objects().fileList;
    const TextBlock operation = rules.GetItemText(ruleRow, kRuleOperationColumn);
    const std::wstring target = RuleTarget(ruleRow);

    const int32_t row = files.GetSelectionMark();
    if (row < 0)
        return;  // no current row: no file to work on
    const TextBlock& source = FilePathList.At(row + 1);
    const std::wstring destination = target + L"\\" + std::wstring(OwnName(source));

    // Any operation text other than the copy text means move.
    const bool copy = BlocksEqual(operation, TextBlock::FromWide(L"复制文件"));
    WriteCell(kFileOperationColumn, copy ? L"复制文件" : L"移动文件");

    // A rule without a target directory (possible only in an edited file) would put the
    // file into the root of the current drive: it fails without touching any file.
    BOOL done = FALSE;
    if (!target.empty()) {
        if (copy) {
            done = CopyWholeOrNothing(ExactPath(source.WideView()), ExactPath(destination));
        } else {
            ReleasePreviewedFile(source);
            done = MoveWholeOrNothing(ExactPath(source.WideView()), ExactPath(destination));
        }
    }
    if (copy)
        WriteCell(kFileResultColumn, done ? L"复制成功" : L"复制失败");
    else
        WriteCell(kFileResultColumn, done ? L"移动成功" : L"移动失败");
}
