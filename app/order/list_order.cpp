#include "app/order/list_order.h"

#include <windows.h>
#include <commctrl.h>

#include <string_view>

#include "app/files/file_list.h"
#include "app/rules/options_menu.h"
#include "app/window/application.h"

namespace {

struct StoredOrder {
    std::wstring_view name;
    SortColumn column;
};

// The orders config.ini can keep, by their stored names.
constexpr StoredOrder kStoredOrders[] = {
    {L"读取顺序", SortColumn::kReading},
    {L"文件名", SortColumn::kName},
    {L"拍摄时间", SortColumn::kCaptureTime},
};

// The header that shows each order's arrow; the capture time has none.
int32_t HeaderOf(SortColumn column) {
    switch (column) {
        case SortColumn::kReading:
            return kFileIndexColumn;
        case SortColumn::kName:
            return kFileNameColumn;
        case SortColumn::kOperation:
            return kFileOperationColumn;
        case SortColumn::kResult:
            return kFileResultColumn;
        case SortColumn::kCaptureTime:
            break;
    }
    return -1;
}

std::optional<SortColumn> ColumnOfHeader(int32_t header) {
    for (const SortColumn column :
         {SortColumn::kReading, SortColumn::kName, SortColumn::kOperation, SortColumn::kResult})
        if (HeaderOf(column) == header)
            return column;
    return std::nullopt;
}

// Keeps the order in config.ini when it is one config.ini can name. A failed write keeps
// the order shown: the user clicked a header, not an option.
void SaveSortOrder(Application& app, SortOrder order) {
    for (const StoredOrder& stored : kStoredOrders)
        if (stored.column == order.column) {
            app.settings.Set(kSortSetting, std::wstring(stored.name));
            app.settings.Set(kDescendingSetting, order.descending);
            ShowOptionsInSystemMenu(app);  // its marks follow
        }
}

int32_t NextPosition(const VirtualListViewControl& list, int32_t after, UINT state) {
    return static_cast<int32_t>(
        SendMessageW(list.Handle(), LVM_GETNEXTITEM, static_cast<WPARAM>(after), state));
}

void ShowOrder(Application& app, std::vector<int32_t> order) {
    app.sorting.moving = true;
    MoveRows(app.fileRows, app.controls.fileList, std::move(order));
    app.sorting.moving = false;
}
}  // namespace

void MoveRows(FileRows& rows, VirtualListViewControl& list, std::vector<int32_t> order) {
    if (order == rows.DisplayOrder())
        return;
    const std::vector<int32_t> selected = SelectedRows(rows, list);
    const int32_t focused = NextPosition(list, -1, LVNI_FOCUSED);
    const int32_t focusedRow = focused >= 0 && focused < rows.RowCount() ? rows.RowAt(focused) : -1;
    const int32_t mark = list.GetSelectionMark();
    const int32_t markRow = mark >= 0 && mark < rows.RowCount() ? rows.RowAt(mark) : -1;
    rows.SetDisplayOrder(std::move(order));
    SetPositionState(list, -1, 0, LVIS_SELECTED | LVIS_FOCUSED);
    for (const int32_t row : selected)
        SetPositionState(list, rows.PositionOf(row), LVIS_SELECTED, LVIS_SELECTED);
    if (focusedRow >= 0) {
        SetPositionState(list, rows.PositionOf(focusedRow), LVIS_FOCUSED, LVIS_FOCUSED);
        list.EnsureVisible(rows.PositionOf(focusedRow), false);
    }
    if (markRow >= 0)
        list.Send(LVM_SETSELECTIONMARK, 0, rows.PositionOf(markRow));
    // Only the rows on screen are painted again: redrawing every row by number costs
    // seconds for a large list.
    InvalidateRect(list.Handle(), nullptr, FALSE);
}

namespace {

SortFacts FactsOf(const Application& app) {
    return {&app.sorting.captureTimes};
}

bool CaptureTimesKnown(const Application& app) {
    return static_cast<int32_t>(app.sorting.captureTimes.size()) == app.fileRows.RowCount();
}

void StartReadingCaptureTimes(Application& app) {
    const FileRows& rows = app.fileRows;
    std::vector<std::wstring> names;
    names.reserve(static_cast<size_t>(rows.RowCount()));
    for (int32_t row = 0; row < rows.RowCount(); ++row)
        names.emplace_back(rows.Name(row));
    const int32_t count = rows.RowCount();
    app.sorting.reading.Start(
        rows.Directory(), std::move(names), [&app, count](std::vector<CaptureTime>&& times) {
            if (app.fileRows.RowCount() != count)
                return;  // rows were listed since: read again
            app.sorting.captureTimes = std::move(times);
            if (app.sorting.order.column == SortColumn::kCaptureTime)
                ShowOrder(app, SortedRows(app.fileRows, app.sorting.order, FactsOf(app)));
        });
}

}  // namespace

SortOrder SavedSortOrder(const Application& app) {
    const std::wstring name = app.settings.Get(kSortSetting);
    SortOrder order;
    for (const StoredOrder& stored : kStoredOrders)
        if (stored.name == name)
            order.column = stored.column;
    order.descending = app.settings.Get(kDescendingSetting);
    return order;
}

void ApplySavedSortOrder(Application& app) {
    SortFileList(app, SavedSortOrder(app));
}

int32_t SortByHeaderClick(Application& app, int32_t header) {
    const std::optional<SortColumn> column = ColumnOfHeader(header);
    if (!column)
        return 0;
    const SortOrder current = app.sorting.order;
    const SortOrder order{*column, current.column == *column && !current.descending};
    SaveSortOrder(app, order);
    SortFileList(app, order);
    return 0;
}

void SortFileList(Application& app, SortOrder order) {
    app.sorting.order = order;
    ShowSortArrow(app.controls.fileList, HeaderOf(order.column), order.descending);
    if (order.column != SortColumn::kCaptureTime) {
        ShowOrder(app, SortedRows(app.fileRows, order, FactsOf(app)));
        return;
    }
    // The rows stay as they are until every time is known, then move at once.
    if (CaptureTimesKnown(app))
        ShowOrder(app, SortedRows(app.fileRows, order, FactsOf(app)));
    else if (!IsReadingFiles(app) && !app.sorting.reading.Running())
        StartReadingCaptureTimes(app);
}

void PlaceListedRows(Application& app, int32_t first) {
    FileRows& rows = app.fileRows;
    const SortOrder order = app.sorting.order;
    if (first >= rows.RowCount() || (order.column == SortColumn::kReading && !order.descending))
        return;
    if (order.column == SortColumn::kCaptureTime && !CaptureTimesKnown(app))
        return;  // they stay last until the times are read
    const std::vector<int32_t>& all = rows.DisplayOrder();
    std::vector<int32_t> shown;
    std::vector<int32_t> added;
    shown.reserve(static_cast<size_t>(first));
    for (const int32_t row : all)
        (row < first ? shown : added).push_back(row);
    ShowOrder(app, WithRowsInPlace(rows, order, FactsOf(app), shown, std::move(added)));
}

void FileListingEnded(Application& app) {
    if (app.sorting.order.column == SortColumn::kCaptureTime)
        StartReadingCaptureTimes(app);
}

void ForgetRowOrderFacts(Application& app) {
    app.sorting.reading.Cancel();
    std::vector<CaptureTime>().swap(app.sorting.captureTimes);
}

std::vector<int32_t> SelectedRows(const Application& app) {
    return SelectedRows(app.fileRows, app.controls.fileList);
}

std::vector<int32_t> SelectedRows(const FileRows& rows, const VirtualListViewControl& list) {
    std::vector<int32_t> selected;
    for (int32_t position = NextPosition(list, -1, LVNI_SELECTED);
         position >= 0 && position < rows.RowCount();
         position = NextPosition(list, position, LVNI_SELECTED))
        selected.push_back(rows.RowAt(position));
    return selected;
}

void SetPositionState(VirtualListViewControl& list, int32_t position, uint32_t state,
                      uint32_t mask) {
    LVITEMW item{};
    item.state = state;
    item.stateMask = mask;
    SendMessageW(list.Handle(), LVM_SETITEMSTATE, static_cast<WPARAM>(position),
                 reinterpret_cast<LPARAM>(&item));
}

void ShowSortArrow(VirtualListViewControl& list, int32_t column, bool descending) {
    const HWND header = list.GetHeader();
    const int count = header ? static_cast<int>(SendMessageW(header, HDM_GETITEMCOUNT, 0, 0)) : 0;
    for (int i = 0; i < count; ++i) {
        HDITEMW item{};
        item.mask = HDI_FORMAT;
        if (!SendMessageW(header, HDM_GETITEMW, static_cast<WPARAM>(i),
                          reinterpret_cast<LPARAM>(&item)))
            continue;
        item.fmt &= ~(HDF_SORTUP | HDF_SORTDOWN);
        // The reading order shows no arrow on "索引" while it runs forwards.
        const bool reading = column == kFileIndexColumn && !descending;
        if (i == column && !reading)
            item.fmt |= descending ? HDF_SORTDOWN : HDF_SORTUP;
        SendMessageW(header, HDM_SETITEMW, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&item));
    }
}
