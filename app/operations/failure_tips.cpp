#include "app/operations/failure_tips.h"

#include <windows.h>
#include <commctrl.h>

#include "app/files/file_rows.h"
#include "ui/virtual_list_view.h"

std::wstring FailureReasonOfRow(const FileRows& rows, int32_t row) {
    const bool isRow = row >= 0 && row < rows.RowCount();
    return isRow ? std::wstring(rows.FailureReason(row)) : std::wstring();
}

void ShowFailureReasonsAsTips(VirtualListViewControl& list, const FileRows& rows) {
    list.AddExtendedStyle(LVS_EX_INFOTIP);
    list.SetRowTipSource([&rows](int32_t position, wchar_t* buffer, int32_t capacity) {
        const std::wstring reason = FailureReasonOfRow(rows, RowAtPosition(rows, position));
        if (!reason.empty())
            lstrcpynW(buffer, reason.c_str(), capacity);
    });
}
