#include "app/file_operation.h"

#include <windows.h>

#include <string>

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

void ApplyRule(int32_t ruleRow) {
    ListViewControl& rules = Objects().ruleList;
    ListViewControl& files = Objects().fileList;
    const TextBlock operation = rules.GetItemText(ruleRow, kRuleOperationColumn);
    const std::wstring target(rules.GetItemText(ruleRow, kRuleTargetColumn).WideView());

    const int32_t row = files.GetSelectionMark();
    if (row < 0)
        return;  // no current row: no file to work on
    const TextBlock& source = FilePathList.At(row + 1);
    // Any operation text other than the copy text means move.
    const bool copy = BlocksEqual(operation, TextBlock::FromWide(L"复制文件"));
    QueueFileOperation(row, copy, std::wstring(source.WideView()), target,
                       std::wstring(OwnName(source)));
}
