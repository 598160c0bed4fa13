#include "tests/support/remote_list_view.h"

#include <commctrl.h>

namespace {

constexpr size_t kRemoteSize = 4096;
constexpr size_t kTextOffset = 512;  // the text buffer follows the LVITEMW
constexpr int kTextUnits = (kRemoteSize - kTextOffset) / sizeof(wchar_t);

}  // namespace

RemoteListView::RemoteListView(HWND listView) : listView_(listView) {
    DWORD processId = 0;
    GetWindowThreadProcessId(listView, &processId);
    process_ =
        OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, processId);
    if (process_)
        remote_ = VirtualAllocEx(process_, nullptr, kRemoteSize, MEM_COMMIT, PAGE_READWRITE);
}

RemoteListView::~RemoteListView() {
    if (remote_)
        VirtualFreeEx(process_, remote_, 0, MEM_RELEASE);
    if (process_)
        CloseHandle(process_);
}

template <class T>
bool RemoteListView::Write(const T& value, size_t offset) const {
    SIZE_T written = 0;
    return WriteProcessMemory(process_, static_cast<char*>(remote_) + offset, &value, sizeof value,
                              &written) &&
           written == sizeof value;
}

template <class T>
bool RemoteListView::Read(T& value, size_t offset) const {
    SIZE_T read = 0;
    return ReadProcessMemory(process_, static_cast<char*>(remote_) + offset, &value, sizeof value,
                             &read) &&
           read == sizeof value;
}

int RemoteListView::ItemCount() const {
    return static_cast<int>(SendMessageW(listView_, LVM_GETITEMCOUNT, 0, 0));
}

std::wstring RemoteListView::Text(int row, int column) const {
    if (!remote_)
        return {};
    LVITEMW item = {};
    item.iSubItem = column;
    item.pszText = reinterpret_cast<LPWSTR>(static_cast<char*>(remote_) + kTextOffset);
    item.cchTextMax = kTextUnits;
    if (!Write(item))
        return {};
    const LRESULT length =
        SendMessageW(listView_, LVM_GETITEMTEXTW, row, reinterpret_cast<LPARAM>(remote_));
    if (length <= 0)
        return {};
    std::wstring text(static_cast<size_t>(length), L'\0');
    SIZE_T read = 0;
    ReadProcessMemory(process_, static_cast<char*>(remote_) + kTextOffset, text.data(),
                      text.size() * sizeof(wchar_t), &read);
    return text;
}

std::vector<std::wstring> RemoteListView::Column(int column) const {
    std::vector<std::wstring> cells;
    const int count = ItemCount();
    for (int row = 0; row < count; ++row)
        cells.push_back(Text(row, column));
    return cells;
}

bool RemoteListView::SetText(int row, int column, const std::wstring& text) const {
    if (!remote_ || text.size() >= static_cast<size_t>(kTextUnits))
        return false;
    LVITEMW item = {};
    item.iSubItem = column;
    item.pszText = reinterpret_cast<LPWSTR>(static_cast<char*>(remote_) + kTextOffset);
    SIZE_T written = 0;
    if (!Write(item) || !WriteProcessMemory(process_, item.pszText, text.c_str(),
                                            (text.size() + 1) * sizeof(wchar_t), &written))
        return false;
    return SendMessageW(listView_, LVM_SETITEMTEXTW, row, reinterpret_cast<LPARAM>(remote_)) != 0;
}

bool RemoteListView::SetState(int row, UINT mask, UINT state) const {
    LVITEMW item = {};
    item.stateMask = mask;
    item.state = state;
    return remote_ && Write(item) &&
           SendMessageW(listView_, LVM_SETITEMSTATE, static_cast<WPARAM>(row),
                        reinterpret_cast<LPARAM>(remote_)) != 0;
}

bool RemoteListView::SetSelected(int row, bool selected, bool focus) const {
    const UINT focused = focus ? LVIS_FOCUSED : 0;
    if (!SetState(row, LVIS_SELECTED | focused, (selected ? LVIS_SELECTED : 0) | focused))
        return false;
    if (focus)
        SendMessageW(listView_, LVM_SETSELECTIONMARK, 0, row);
    return true;
}

bool RemoteListView::SelectOnly(int row) const {
    SetState(-1, LVIS_SELECTED | LVIS_FOCUSED, 0);
    return SetSelected(row, true, true);
}

int RemoteListView::SelectionMark() const {
    return static_cast<int>(SendMessageW(listView_, LVM_GETSELECTIONMARK, 0, 0));
}

bool RemoteListView::IsSelected(int row) const {
    return SendMessageW(listView_, LVM_GETITEMSTATE, row, LVIS_SELECTED) & LVIS_SELECTED;
}

int RemoteListView::FocusedRow() const {
    return static_cast<int>(
        SendMessageW(listView_, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_FOCUSED));
}

RECT RemoteListView::ItemRect(int row) const {
    RECT rect = {LVIR_BOUNDS, 0, 0, 0};
    if (!remote_ || !Write(rect))
        return {};
    if (!SendMessageW(listView_, LVM_GETITEMRECT, row, reinterpret_cast<LPARAM>(remote_)))
        return {};
    Read(rect);
    return rect;
}

POINT RemoteListView::CellCentreOnScreen(int row, int column) const {
    RECT rect = ItemRect(row);
    int left = rect.left;
    int width = rect.right - rect.left;
    if (column >= 0) {
        int x = rect.left;
        for (int c = 0; c < column; ++c)
            x += static_cast<int>(SendMessageW(listView_, LVM_GETCOLUMNWIDTH, c, 0));
        left = x;
        width = static_cast<int>(SendMessageW(listView_, LVM_GETCOLUMNWIDTH, column, 0));
    }
    POINT point = {left + width / 2, (rect.top + rect.bottom) / 2};
    ClientToScreen(listView_, &point);
    return point;
}

int RemoteListView::HeaderFormat(int column) const {
    const HWND header = reinterpret_cast<HWND>(SendMessageW(listView_, LVM_GETHEADER, 0, 0));
    HDITEMW item = {};
    item.mask = HDI_FORMAT;
    if (!remote_ || !header || !Write(item) ||
        !SendMessageW(header, HDM_GETITEMW, column, reinterpret_cast<LPARAM>(remote_)) ||
        !Read(item))
        return 0;
    return item.fmt;
}

POINT RemoteListView::HeaderCentreOnScreen(int column) const {
    const HWND header = reinterpret_cast<HWND>(SendMessageW(listView_, LVM_GETHEADER, 0, 0));
    RECT bounds = {};
    GetWindowRect(header, &bounds);
    int left = bounds.left;
    for (int i = 0; i < column; ++i)
        left += static_cast<int>(SendMessageW(listView_, LVM_GETCOLUMNWIDTH, i, 0));
    const int width = static_cast<int>(SendMessageW(listView_, LVM_GETCOLUMNWIDTH, column, 0));
    return {left + width / 2, (bounds.top + bounds.bottom) / 2};
}
