#include "ui/virtual_list_view.h"

VirtualListViewControl::~VirtualListViewControl() {
    DetachFromWindow();
}

std::unique_ptr<ControlObject> VirtualListViewControl::Clone() const {
    return std::unique_ptr<ControlObject>(new VirtualListViewControl(*this));
}

int32_t VirtualListViewControl::Create(HWND parent, ChildWindowId id, DWORD style, int32_t x,
                                       int32_t y, int32_t width, int32_t height,
                                       DWORD extendedStyle) {
    return ListViewControl::Create(parent, id, style | LVS_OWNERDATA, x, y, width, height,
                                   extendedStyle);
}

EventHandler VirtualListViewControl::SetItemSelectedHandler(EventHandler handler) {
    itemSelected_ = handler;
    return ListViewControl::SetItemSelectedHandler(handler);
}

void VirtualListViewControl::Reset(HWND hwnd) {
    cellText_ = nullptr;
    findRow_ = nullptr;
    rowTip_ = nullptr;
    itemSelected_ = nullptr;
    ListViewControl::Reset(hwnd);
}

int32_t VirtualListViewControl::FocusedRow() const {
    return static_cast<int32_t>(
        SendMessageW(Handle(), LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_FOCUSED));
}

int32_t VirtualListViewControl::SetRowCount(int32_t count, bool keepView) {
    const LPARAM flags = keepView ? LVSICF_NOINVALIDATEALL | LVSICF_NOSCROLL : 0;
    return SendMessageW(Handle(), LVM_SETITEMCOUNT, static_cast<WPARAM>(count), flags) ? 1 : 0;
}

int32_t VirtualListViewControl::RedrawRows(int32_t first, int32_t last) {
    return SendMessageW(Handle(), LVM_REDRAWITEMS, static_cast<WPARAM>(first), last) ? 1 : 0;
}

// A result of 0 falls through to the parent's default processing, which answers 0 as well,
// so row 0 found by LVN_ODFINDITEM still reaches the list.
LRESULT VirtualListViewControl::NotificationHook(HWND parent, HWND sender, int32_t code,
                                                 UINT_PTR senderId, LPARAM lParam) {
    switch (static_cast<UINT>(code)) {
        case LVN_GETDISPINFOW: {
            auto& info = *reinterpret_cast<NMLVDISPINFOW*>(lParam);
            if ((info.item.mask & LVIF_TEXT) && info.item.pszText && info.item.cchTextMax > 0) {
                if (cellText_)
                    cellText_(info.item.iItem, info.item.iSubItem, info.item.pszText,
                              info.item.cchTextMax);
                else
                    info.item.pszText[0] = L'\0';
            }
            return 0;
        }
        case LVN_GETINFOTIPW: {
            auto& tip = *reinterpret_cast<NMLVGETINFOTIPW*>(lParam);
            if (rowTip_ && tip.pszText && tip.cchTextMax > 0)
                rowTip_(tip.iItem, tip.pszText, tip.cchTextMax);
            return 0;
        }
        case LVN_ODFINDITEMW: {
            const auto& find = *reinterpret_cast<const NMLVFINDITEMW*>(lParam);
            if (!findRow_ || !(find.lvfi.flags & (LVFI_STRING | LVFI_PARTIAL)) || !find.lvfi.psz)
                return -1;
            return findRow_(find.lvfi.psz, (find.lvfi.flags & LVFI_PARTIAL) != 0, find.iStart,
                            (find.lvfi.flags & LVFI_WRAP) != 0);
        }
        case LVN_ODSTATECHANGED: {
            // A range selected in one step: one event, for the row the user stands on.
            const auto& change = *reinterpret_cast<const NMLVODSTATECHANGE*>(lParam);
            if ((change.uNewState & LVIS_SELECTED) && !(change.uOldState & LVIS_SELECTED)) {
                const int32_t focused = FocusedRow();
                if (focused >= change.iFrom && focused <= change.iTo)
                    itemSelected_(focused, 0);
            }
            return 0;
        }
        case LVN_ITEMCHANGED: {
            // A change of every row at once (iItem -1) names no row.
            const auto& change = *reinterpret_cast<const NMLISTVIEW*>(lParam);
            if (change.iItem < 0) {
                const int32_t focused = FocusedRow();
                if ((change.uNewState & LVIS_SELECTED) && focused >= 0)
                    itemSelected_(focused, 0);
                return 0;
            }
            break;
        }
        default:
            break;
    }
    return ListViewControl::NotificationHook(parent, sender, code, senderId, lParam);
}
