// The order the file list shows its rows in: chosen by a header click or the options, kept
// in config.ini's "设置" section ("排序", "倒序"), and followed when rows are listed or their
// capture times become known. Rows move under the user without the user losing them: the
// selection and the focus stay on the same files, and the focused file stays in view.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "app/order/capture_times.h"
#include "app/order/row_order.h"
#include "app/rules/settings.h"

struct Application;
class VirtualListViewControl;

// "排序": the stored names of the orders an option or a header click keeps.
inline constexpr Setting<std::wstring> kSortSetting{"排序", L"读取顺序"};
inline constexpr Setting<bool> kDescendingSetting{"倒序", false};

struct RowSorting {
    SortOrder order;  // what the list shows, or will once the capture times are known
    // By row, once every listed row's time is read; empty until then.
    std::vector<CaptureTime> captureTimes;
    CaptureTimeReading reading;
    // While rows move the list's own selection events are not the user's.
    bool moving = false;
};

// The order config.ini keeps; the reading order for a stored name it does not know.
SortOrder SavedSortOrder(const Application& app);
// Shows the saved order (at start, and when an option changes it).
void ApplySavedSortOrder(Application& app);
// Click handler of the file list's header: the column ascending, or the other way round when
// it is the column already sorted by. "索引" and "文件名" are kept in config.ini.
int32_t SortByHeaderClick(Application& app, int32_t column);
// Shows the rows in `order` now (or, for capture times not yet known, once they are).
void SortFileList(Application& app, SortOrder order);

// After rows [first, count) were appended: each goes into its place in the current order.
void PlaceListedRows(Application& app, int32_t first);
// After a folder's last row is listed: the capture times are read when the order needs them.
void FileListingEnded(Application& app);
// A new listing: the old capture times and their read are forgotten.
void ForgetRowOrderFacts(Application& app);

// The rows the list shows selected, in display order.
std::vector<int32_t> SelectedRows(const Application& app);
std::vector<int32_t> SelectedRows(const FileRows& rows, const VirtualListViewControl& list);
// Shows the rows in `order`, with the selection, the focus and the selection mark on the
// same files as before, and the focused file in view.
void MoveRows(FileRows& rows, VirtualListViewControl& list, std::vector<int32_t> order);
// Sets the `mask` bits of the list's state at `position` (-1: every position) to `state`'s.
void SetPositionState(VirtualListViewControl& list, int32_t position, uint32_t state,
                      uint32_t mask);
// Shows the sort arrow on `column`'s header (descending: down) and none on the others;
// -1 for none at all.
void ShowSortArrow(VirtualListViewControl& list, int32_t column, bool descending);
