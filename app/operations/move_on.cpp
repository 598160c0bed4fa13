#include "app/operations/move_on.h"

#include <windows.h>
#include <commctrl.h>

#include <algorithm>

#include "app/order/list_order.h"
#include "app/window/application.h"

namespace {

bool MoveOnChosen(const Application& app) {
    return app.settings.Get(kMoveOnSetting);
}

// Selects and focuses `position` alone and scrolls it into view. The synchronous
// LVN_ITEMCHANGED of its selection shows its preview, and a key-down already queued behind
// the one being handled finds the new selection.
void FocusPositionAlone(Application& app, int32_t position) {
    VirtualListViewControl& list = app.controls.fileList;
    if (position < 0 || position >= app.fileRows.RowCount())
        return;
    SetPositionState(list, -1, 0, LVIS_SELECTED | LVIS_FOCUSED);
    SetPositionState(list, position, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
    list.SetSelectionMark(position);
    list.EnsureVisible(position, false);
}

}  // namespace

int32_t PositionAfter(std::span<const int32_t> actedOn, int32_t rowCount) {
    if (actedOn.empty())
        return -1;
    const int32_t next = *std::max_element(actedOn.begin(), actedOn.end()) + 1;
    return next > 0 && next < rowCount ? next : -1;
}

void MoveOnAfterRule(Application& app, const std::vector<int32_t>& rows) {
    if (!MoveOnChosen(app))
        return;
    std::vector<int32_t> positions;
    positions.reserve(rows.size());
    for (const int32_t row : rows)
        positions.push_back(app.fileRows.PositionOf(row));
    FocusPositionAlone(app, PositionAfter(positions, app.fileRows.RowCount()));
}

void ReturnToUndoneRow(Application& app, int32_t row) {
    if (MoveOnChosen(app) && row >= 0 && row < app.fileRows.RowCount())
        FocusPositionAlone(app, app.fileRows.PositionOf(row));
}
