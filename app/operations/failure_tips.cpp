#include "app/operations/failure_tips.h"

#include <windows.h>
#include <commctrl.h>

#include "app/window/application.h"

std::wstring FailureReasonOfRow(const Application& app, int32_t row) {
    const bool isRow = row >= 0 && row < app.fileRows.RowCount();
    return isRow ? std::wstring(app.fileRows.FailureReason(row)) : std::wstring();
}

void ShowFailureReasonsAsTips(Application& app) {
    app.controls.fileList.AddExtendedStyle(LVS_EX_INFOTIP);
    app.controls.fileList.SetRowTipSource([&app](int32_t row, wchar_t* buffer, int32_t capacity) {
        const std::wstring reason = FailureReasonOfRow(app, row);
        if (!reason.empty())
            lstrcpynW(buffer, reason.c_str(), capacity);
    });
}
