#include "ui/list_view_control.h"

#include <cstring>
#include <string_view>

namespace {

constexpr DWORD kCreationExtendedListStyle = LVS_EX_SUBITEMIMAGES | LVS_EX_INFOTIP;  // 0x402
constexpr int32_t kTextBufferUnits = ListViewControl::kMaximumTextLength + 1;
// Window-style view bits in the order of the view numbers 0 to 3.
constexpr DWORD kViewStyles[] = {LVS_ICON, LVS_SMALLICON, LVS_LIST, LVS_REPORT};

// The state-image bits of a check state: 0 unchecked, 1 checked, -1 no state image.
UINT StateImageOf(int32_t checkState) {
    return static_cast<UINT>(checkState + 1) << 12;
}
int32_t CheckStateOf(UINT state) {
    return static_cast<int32_t>((state & LVIS_STATEIMAGEMASK) >> 12) - 1;
}

// A text the control wrote into `buffer`, or into a buffer of its own that it pointed
// `written` at instead; cut to the longest text a reader returns.
TextBlock TextFromControl(const wchar_t* written, const wchar_t* buffer) {
    const wchar_t* text = written ? written : buffer;
    if (text == LPSTR_TEXTCALLBACKW)
        return TextBlock::EmptyWide();
    size_t length = 0;
    while (length < static_cast<size_t>(ListViewControl::kMaximumTextLength) && text[length] != 0)
        ++length;
    return TextBlock::FromWide(std::wstring_view(text, length));
}

// Copies a notification structure of the type the code implies; the copy is what the
// handler's arguments are read from.
template <class Structure>
Structure CopyNotification(LPARAM lParam) {
    Structure copy;
    std::memcpy(&copy, reinterpret_cast<const void*>(lParam), sizeof copy);
    return copy;
}

}  // namespace

ListViewControl::ListViewControl() {
    INITCOMMONCONTROLSEX controls{sizeof(INITCOMMONCONTROLSEX), ICC_LISTVIEW_CLASSES};
    InitCommonControlsEx(&controls);
}

ListViewControl::~ListViewControl() {
    DetachFromWindow();
}

std::unique_ptr<ControlObject> ListViewControl::Clone() const {
    return std::unique_ptr<ControlObject>(new ListViewControl(*this));
}

LRESULT ListViewControl::SendToList(UINT message, WPARAM wParam, LPARAM lParam) const {
    return SendMessageW(window_, message, wParam, lParam);
}

// ---- notifications -------------------------------------------------------------------------

LRESULT ListViewControl::NotificationHook(HWND, HWND, int32_t code, UINT_PTR, LPARAM lParam) {
    const auto notification = static_cast<UINT>(code);
    switch (notification) {
        case NM_CLICK:
        case NM_DBLCLK:
        case NM_RCLICK: {
            const EventHandler handler = notification == NM_CLICK    ? onClick_
                                         : notification == NM_DBLCLK ? onDoubleClick_
                                                                     : onRightClick_;
            if (!handler)
                return 0;
            const auto click = CopyNotification<NMITEMACTIVATE>(lParam);
            handler(click.iItem, click.uKeyFlags);
            return 1;
        }
        case LVN_ITEMCHANGING: {
            const auto change = CopyNotification<NMLISTVIEW>(lParam);
            const bool hasCheckImage = (change.uNewState & 0x3000) != 0;
            if (hasCheckImage && change.uNewState != change.uOldState) {
                const EventHandler handler = onCheckChanged_;
                handler(change.iItem, CheckStateOf(change.uNewState));
            }
            return 0;
        }
        case LVN_ITEMCHANGED: {
            // Every change of a selected row counts, also one that only moves the focus.
            const auto change = CopyNotification<NMLISTVIEW>(lParam);
            if ((change.uNewState & LVIS_SELECTED) == LVIS_SELECTED) {
                const EventHandler handler = onItemSelected_;
                handler(change.iItem, change.lParam);
            }
            return 0;
        }
        case LVN_COLUMNCLICK:
        case LVN_ITEMACTIVATE:
        case LVN_HOTTRACK: {
            const auto list = CopyNotification<NMLISTVIEW>(lParam);
            if (notification == LVN_COLUMNCLICK) {
                const EventHandler handler = onColumnClick_;
                handler(list.iSubItem);
            } else {
                const EventHandler handler =
                    notification == LVN_ITEMACTIVATE ? onItemActivate_ : onHotTrack_;
                handler(list.iItem);
            }
            return 0;
        }
        case LVN_BEGINLABELEDITW:
        case LVN_ENDLABELEDITW: {
            const auto edit = CopyNotification<NMLVDISPINFOW>(lParam);
            const EventHandler handler =
                notification == LVN_BEGINLABELEDITW ? onBeginLabelEdit_ : onEndLabelEdit_;
            handler(edit.item.iItem);
            return 0;
        }
        default:
            return 0;
    }
}

void ListViewControl::Reset(HWND hwnd) {
    onRightClick_ = nullptr;
    onClick_ = nullptr;
    onDoubleClick_ = nullptr;
    onBeginLabelEdit_ = nullptr;
    onEndLabelEdit_ = nullptr;
    onCheckChanged_ = nullptr;
    onItemSelected_ = nullptr;
    onHotTrack_ = nullptr;
    onItemActivate_ = nullptr;
    onColumnClick_ = nullptr;
    ControlObject::Reset(hwnd);
}

BOOL ListViewControl::Update() {
    const int32_t top = GetTopIndex();
    return static_cast<BOOL>(SendToList(LVM_REDRAWITEMS, top, top + GetCountPerPage()));
}

// ---- creation ------------------------------------------------------------------------------

int32_t ListViewControl::Create(HWND parent, DWORD style, int32_t x, int32_t y, int32_t width,
                                int32_t height, DWORD extendedStyle) {
    // Through the overridable creation, so a derived list adds its own style.
    return Create(parent, ChildWindowId{++ControlIdCounter}, style, x, y, width, height,
                  extendedStyle);
}

int32_t ListViewControl::Create(HWND parent, ChildWindowId id, DWORD style, int32_t x, int32_t y,
                                int32_t width, int32_t height, DWORD extendedStyle) {
    const TextBlock className = TextBlock::FromWide(WC_LISTVIEWW);
    const TextBlock title = TextBlock::FromWide(L"ListView");
    const HWND created = CreateControlWindow(
        parent, extendedStyle, className, &title, WS_CHILD | WS_VISIBLE | style, x, y, width,
        height, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id.value)), nullptr);
    if (created)
        SendToList(LVM_SETEXTENDEDLISTVIEWSTYLE, 0, kCreationExtendedListStyle);
    return Exists();
}

int32_t ListViewControl::CreateFromDialogItem(HWND dialog, int32_t itemId, bool setFont) {
    if (!AttachDialogItem(dialog, itemId, setFont))
        return 0;
    SendToList(LVM_SETEXTENDEDLISTVIEWSTYLE, 0, kCreationExtendedListStyle);
    return 1;
}

int32_t ListViewControl::FromWindow(HWND hwnd) {
    return AttachWindow(hwnd) ? 1 : 0;
}

// ---- rows ----------------------------------------------------------------------------------

bool ListViewControl::ReadItem(LVITEMW& item, int32_t row, UINT mask, int32_t column) const {
    item.mask = mask;
    item.iItem = row;
    item.iSubItem = column;
    return SendToList(LVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&item)) != 0;
}

int32_t ListViewControl::WriteItem(LVITEMW& item, int32_t row, UINT mask, int32_t column) {
    item.mask = mask;
    item.iItem = row;
    item.iSubItem = column;
    return SendToList(LVM_SETITEMW, 0, reinterpret_cast<LPARAM>(&item)) ? 1 : 0;
}

TextBlock ListViewControl::GetItemText(int32_t row, int32_t column) const {
    wchar_t buffer[kTextBufferUnits] = {};
    LVITEMW item{};
    item.pszText = buffer;
    item.cchTextMax = kTextBufferUnits;
    if (!ReadItem(item, row, LVIF_TEXT, column))
        return TextBlock::EmptyWide();
    return TextFromControl(item.pszText, buffer);
}

int32_t ListViewControl::GetItemImage(int32_t row, int32_t column) const {
    LVITEMW item{};
    return ReadItem(item, row, LVIF_IMAGE, column) ? item.iImage : -1;
}

int32_t ListViewControl::GetCheckState(int32_t row) const {
    return CheckStateOf(static_cast<UINT>(SendToList(LVM_GETITEMSTATE, row, LVIS_STATEIMAGEMASK)));
}

int32_t ListViewControl::GetItemIndent(int32_t row) const {
    LVITEMW item{};
    return ReadItem(item, row, LVIF_INDENT) ? item.iIndent : 0;
}

LPARAM ListViewControl::GetItemData(int32_t row) const {
    LVITEMW item{};
    return ReadItem(item, row, LVIF_PARAM) ? item.lParam : 0;
}

int32_t ListViewControl::SetItemText(int32_t row, int32_t column, const TextBlock& text) {
    LVITEMW item{};
    item.pszText = const_cast<wchar_t*>(text.Wide());
    return WriteItem(item, row, LVIF_TEXT, column);
}

int32_t ListViewControl::SetItemImage(int32_t row, std::optional<int32_t> image, int32_t column) {
    LVITEMW item{};
    item.iImage = image.value_or(-1);
    return WriteItem(item, row, LVIF_IMAGE, column);
}

int32_t ListViewControl::SetCheckState(int32_t row, std::optional<int32_t> checkState) {
    LVITEMW item{};
    item.state = StateImageOf(checkState.value_or(-1));
    item.stateMask = LVIS_STATEIMAGEMASK;
    return WriteItem(item, row, LVIF_STATE);
}

int32_t ListViewControl::SetItemIndent(int32_t row, int32_t indent) {
    LVITEMW item{};
    item.iIndent = indent;
    return WriteItem(item, row, LVIF_INDENT);
}

int32_t ListViewControl::SetItemData(int32_t row, LPARAM data) {
    LVITEMW item{};
    item.lParam = data;
    return WriteItem(item, row, LVIF_PARAM);
}

std::vector<int32_t> ListViewControl::RowsWhere(UINT stateMask, bool (*matches)(UINT)) const {
    std::vector<int32_t> rows;
    const int32_t count = GetItemCount();
    for (int32_t row = 0; row < count; ++row) {
        if (matches(static_cast<UINT>(SendToList(LVM_GETITEMSTATE, row, stateMask))))
            rows.push_back(row);
    }
    return rows;
}

std::vector<int32_t> ListViewControl::GetSelectedItems() const {
    return RowsWhere(LVIS_SELECTED, [](UINT state) { return state == LVIS_SELECTED; });
}

std::vector<int32_t> ListViewControl::GetCheckedItems() const {
    // A row without a state image has no check box, so it is not checked either.
    return RowsWhere(LVIS_STATEIMAGEMASK,
                     [](UINT state) { return state != 0 && state != StateImageOf(0); });
}

int32_t ListViewControl::GetSelectedCount() const {
    return static_cast<int32_t>(SendToList(LVM_GETSELECTEDCOUNT));
}

int32_t ListViewControl::IsItemSelected(int32_t row) const {
    return SendToList(LVM_GETITEMSTATE, row, LVIS_SELECTED) == LVIS_SELECTED ? 1 : 0;
}

int32_t ListViewControl::GetSelectionMark() const {
    return static_cast<int32_t>(SendToList(LVM_GETSELECTIONMARK));
}

int32_t ListViewControl::SetSelectionMark(int32_t row) {
    const auto previous = static_cast<int32_t>(SendToList(LVM_SETSELECTIONMARK, 0, row));
    if (row == -1)
        DeselectItem(-1);
    else
        SelectItem(row);
    return previous;
}

int32_t ListViewControl::GetItemCount() const {
    return static_cast<int32_t>(SendToList(LVM_GETITEMCOUNT));
}

int32_t ListViewControl::SetItemState(int32_t row, UINT state, UINT stateMask) {
    LVITEMW item{};
    item.mask = LVIF_STATE;
    item.state = state;
    item.stateMask = stateMask;
    return SendToList(LVM_SETITEMSTATE, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item))
               ? 1
               : 0;
}

int32_t ListViewControl::SelectItem(int32_t row) {
    return SetItemState(row, LVIS_SELECTED, LVIS_SELECTED);
}

int32_t ListViewControl::DeselectItem(int32_t row) {
    return SetItemState(row, ~static_cast<UINT>(LVIS_SELECTED), LVIS_SELECTED);
}

int32_t ListViewControl::InsertItem(std::optional<int32_t> row, const TextBlock& text,
                                    std::optional<int32_t> image, std::optional<int32_t> checkState,
                                    int32_t indent, LPARAM data) {
    LVITEMW item{};
    item.mask = LVIF_TEXT | LVIF_IMAGE | LVIF_PARAM | LVIF_STATE | LVIF_INDENT;
    item.iItem = !row || *row == -1 ? GetItemCount() : *row;
    item.state = StateImageOf(checkState.value_or(-1));
    item.stateMask = LVIS_STATEIMAGEMASK;
    item.pszText = const_cast<wchar_t*>(text.Wide());
    item.cchTextMax = text.WideLength() + 1;
    item.iImage = image.value_or(-1);
    item.iIndent = indent;
    item.lParam = data;
    return static_cast<int32_t>(SendToList(LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item)));
}

int32_t ListViewControl::SortItems(PFNLVCOMPARE compare, LPARAM parameter) {
    return SendToList(LVM_SORTITEMS, static_cast<WPARAM>(parameter),
                      reinterpret_cast<LPARAM>(compare))
               ? 1
               : 0;
}

int32_t ListViewControl::DeleteItem(int32_t row) {
    return static_cast<int32_t>(SendToList(LVM_DELETEITEM, row));
}

int32_t ListViewControl::DeleteColumn(int32_t column) {
    return static_cast<int32_t>(SendToList(LVM_DELETECOLUMN, column));
}

int32_t ListViewControl::DeleteAllItems() {
    return static_cast<int32_t>(SendToList(LVM_DELETEALLITEMS));
}

int32_t ListViewControl::FindItemByText(const TextBlock& text, bool exact, int32_t start,
                                        bool wrap) const {
    LVFINDINFOW find{};
    find.flags = (exact ? LVFI_STRING : LVFI_STRING | LVFI_PARTIAL) | (wrap ? LVFI_WRAP : 0);
    find.psz = text.Wide();
    return static_cast<int32_t>(
        SendToList(LVM_FINDITEMW, static_cast<WPARAM>(start), reinterpret_cast<LPARAM>(&find)));
}

int32_t ListViewControl::FindItemByData(LPARAM data, int32_t start, bool wrap) const {
    LVFINDINFOW find{};
    find.flags = LVFI_PARAM | (wrap ? LVFI_WRAP : 0);
    find.lParam = data;
    return static_cast<int32_t>(
        SendToList(LVM_FINDITEMW, static_cast<WPARAM>(start), reinterpret_cast<LPARAM>(&find)));
}

int32_t ListViewControl::EnsureVisible(int32_t row, bool partialAllowed) {
    return static_cast<int32_t>(SendToList(LVM_ENSUREVISIBLE, row, partialAllowed ? TRUE : FALSE));
}

int32_t ListViewControl::Arrange() {
    return static_cast<int32_t>(SendToList(LVM_ARRANGE));
}

// ---- columns -------------------------------------------------------------------------------

bool ListViewControl::ReadColumn(LVCOLUMNW& column, int32_t index, UINT mask) const {
    column.mask = mask;
    return SendToList(LVM_GETCOLUMNW, index, reinterpret_cast<LPARAM>(&column)) != 0;
}

int32_t ListViewControl::WriteColumn(LVCOLUMNW& column, int32_t index, UINT mask) {
    column.mask = mask;
    return SendToList(LVM_SETCOLUMNW, index, reinterpret_cast<LPARAM>(&column)) ? 1 : 0;
}

TextBlock ListViewControl::GetColumnText(int32_t column) const {
    wchar_t buffer[kTextBufferUnits] = {};
    LVCOLUMNW header{};
    header.pszText = buffer;
    header.cchTextMax = kTextBufferUnits;
    if (!ReadColumn(header, column, LVCF_TEXT))
        return TextBlock::EmptyWide();
    return TextFromControl(header.pszText, buffer);
}

int32_t ListViewControl::GetColumnFormat(int32_t column) const {
    LVCOLUMNW header{};
    return ReadColumn(header, column, LVCF_FMT) ? header.fmt : 0;
}

int32_t ListViewControl::SetColumnText(int32_t column, const TextBlock& text) {
    LVCOLUMNW header{};
    header.pszText = const_cast<wchar_t*>(text.Wide());
    return WriteColumn(header, column, LVCF_TEXT);
}

int32_t ListViewControl::GetColumnWidth(int32_t column) const {
    return static_cast<int32_t>(SendToList(LVM_GETCOLUMNWIDTH, column));
}

int32_t ListViewControl::GetSelectedColumn() const {
    return static_cast<int32_t>(SendToList(LVM_GETSELECTEDCOLUMN));
}

void ListViewControl::SetSelectedColumn(int32_t column) {
    SendToList(LVM_SETSELECTEDCOLUMN, column);
}

int32_t ListViewControl::GetColumnImage(int32_t column) const {
    LVCOLUMNW header{};
    return ReadColumn(header, column, LVCF_IMAGE) ? header.iImage : -1;
}

int32_t ListViewControl::GetColumnOrder(int32_t column) const {
    LVCOLUMNW header{};
    return ReadColumn(header, column, LVCF_ORDER) ? header.iOrder : -1;
}

int32_t ListViewControl::SetColumnFormat(int32_t column, int32_t format) {
    LVCOLUMNW header{};
    header.fmt = format;
    return WriteColumn(header, column, LVCF_FMT);
}

int32_t ListViewControl::SetColumnWidth(int32_t column, int32_t width) {
    return SendToList(LVM_SETCOLUMNWIDTH, column, MAKELPARAM(width, 0)) ? 1 : 0;
}

int32_t ListViewControl::SetColumnImage(int32_t column, int32_t image) {
    LVCOLUMNW header{};
    header.iImage = image;
    return WriteColumn(header, column, LVCF_IMAGE);
}

int32_t ListViewControl::GetColumnCount() const {
    const HWND header = GetHeader();
    return header ? static_cast<int32_t>(SendMessageW(header, HDM_GETITEMCOUNT, 0, 0)) : 0;
}

int32_t ListViewControl::InsertColumn(std::optional<int32_t> column, const TextBlock& title,
                                      int32_t width, int32_t format, std::optional<int32_t> image,
                                      std::optional<bool> imageOnRight) {
    LVCOLUMNW header{};
    header.mask = LVCF_FMT | LVCF_WIDTH | LVCF_TEXT;
    if (image && *image != -1) {
        header.mask |= LVCF_IMAGE;
        header.iImage = *image;
    }
    header.fmt = format | (imageOnRight.value_or(false) ? LVCFMT_BITMAP_ON_RIGHT : 0);
    header.cx = width;
    header.pszText = const_cast<wchar_t*>(title.Wide());
    header.cchTextMax = title.WideLength() + 1;
    const int32_t index = !column || *column == -1 ? GetColumnCount() : *column;
    return static_cast<int32_t>(
        SendToList(LVM_INSERTCOLUMNW, index, reinterpret_cast<LPARAM>(&header)));
}

// ---- geometry and rows as records ------------------------------------------------------------

RECT ListViewControl::GetSubItemRect(int32_t row, int32_t column, int32_t area) const {
    RECT rectangle{area, column, 0, 0};
    if (!SendToList(LVM_GETSUBITEMRECT, row, reinterpret_cast<LPARAM>(&rectangle)))
        return {};
    return rectangle;
}

HWND ListViewControl::EditLabel(int32_t row) {
    return reinterpret_cast<HWND>(SendToList(LVM_EDITLABELW, row));
}

ListViewRow ListViewControl::GetRow(int32_t row) const {
    ListViewRow record;
    wchar_t buffer[kTextBufferUnits] = {};
    LVITEMW item{};
    item.pszText = buffer;
    item.cchTextMax = kTextBufferUnits;
    item.stateMask = static_cast<UINT>(-1);
    if (!ReadItem(item, row, LVIF_TEXT | LVIF_IMAGE | LVIF_STATE | LVIF_INDENT | LVIF_PARAM)) {
        record.text = TextBlock::EmptyWide();
        return record;
    }
    record.text = TextFromControl(item.pszText, buffer);
    record.image = item.iImage;
    record.state = item.state;
    record.indent = item.iIndent;
    record.data = item.lParam;
    const int32_t columns = GetColumnCount();
    for (int32_t column = 0; column < columns; ++column)
        record.cells.push_back(GetItemText(row, column));
    return record;
}

int32_t ListViewControl::GetAllRows(std::vector<ListViewRow>& rows) const {
    rows.clear();
    const int32_t count = GetItemCount();
    for (int32_t row = 0; row < count; ++row)
        rows.push_back(GetRow(row));
    return count;
}

int32_t ListViewControl::GetTopIndex() const {
    return static_cast<int32_t>(SendToList(LVM_GETTOPINDEX));
}

int32_t ListViewControl::GetCountPerPage() const {
    return static_cast<int32_t>(SendToList(LVM_GETCOUNTPERPAGE));
}

HWND ListViewControl::GetEditControl() const {
    return reinterpret_cast<HWND>(SendToList(LVM_GETEDITCONTROL));
}

SIZE ListViewControl::GetItemSpacing(bool smallIcons) const {
    const auto spacing = static_cast<DWORD>(SendToList(LVM_GETITEMSPACING, smallIcons ? 1 : 0));
    return SIZE{LOWORD(spacing), HIWORD(spacing)};
}

int32_t ListViewControl::SubItemHitTest(int32_t x, int32_t y, int32_t* column) const {
    LVHITTESTINFO hit{};
    hit.pt = POINT{x, y};
    const auto row =
        static_cast<int32_t>(SendToList(LVM_SUBITEMHITTEST, 0, reinterpret_cast<LPARAM>(&hit)));
    if (column)
        *column = row == -1 ? -1 : hit.iSubItem;
    return row;
}

POINT ListViewControl::GetItemPosition(int32_t row) const {
    POINT position{};
    SendToList(LVM_GETITEMPOSITION, row, reinterpret_cast<LPARAM>(&position));
    return position;
}

RECT ListViewControl::GetItemRect(int32_t row, int32_t area) const {
    RECT rectangle{area, 0, 0, 0};
    if (!SendToList(LVM_GETITEMRECT, row, reinterpret_cast<LPARAM>(&rectangle)))
        return {};
    return rectangle;
}

int32_t ListViewControl::SetItemPosition(int32_t row, int32_t x, int32_t y) {
    return SendToList(LVM_SETITEMPOSITION, row, MAKELPARAM(x, y)) ? 1 : 0;
}

HIMAGELIST ListViewControl::GetImageList(int32_t which) const {
    return reinterpret_cast<HIMAGELIST>(SendToList(LVM_GETIMAGELIST, which));
}

HIMAGELIST ListViewControl::SetImageList(HIMAGELIST images, int32_t which) {
    return reinterpret_cast<HIMAGELIST>(
        SendToList(LVM_SETIMAGELIST, which, reinterpret_cast<LPARAM>(images)));
}

HIMAGELIST ListViewControl::CreateDragImage(int32_t row, POINT* upperLeft) {
    POINT corner{};
    const auto image = reinterpret_cast<HIMAGELIST>(
        SendToList(LVM_CREATEDRAGIMAGE, row, reinterpret_cast<LPARAM>(&corner)));
    if (upperLeft)
        *upperLeft = corner;
    return image;
}

int32_t ListViewControl::Scroll(int32_t dx, int32_t dy) {
    return SendToList(LVM_SCROLL, static_cast<WPARAM>(dx), dy) ? 1 : 0;
}

// ---- styles and colours --------------------------------------------------------------------

DWORD ListViewControl::AddExtendedStyle(DWORD bits) {
    const DWORD previous = GetExtendedStyle();
    SendToList(LVM_SETEXTENDEDLISTVIEWSTYLE, 0, previous | bits);
    return previous;
}

DWORD ListViewControl::GetExtendedStyle() const {
    return static_cast<DWORD>(SendToList(LVM_GETEXTENDEDLISTVIEWSTYLE));
}

DWORD ListViewControl::RemoveExtendedStyle(DWORD bits) {
    const DWORD previous = GetExtendedStyle();
    SendToList(LVM_SETEXTENDEDLISTVIEWSTYLE, 0, previous & ~bits);
    return previous;
}

HBITMAP ListViewControl::GetBackgroundImage() const {
    LVBKIMAGEW image{};
    image.ulFlags = LVBKIF_SOURCE_HBITMAP;
    if (!SendToList(LVM_GETBKIMAGEW, 0, reinterpret_cast<LPARAM>(&image)))
        return nullptr;
    return image.hbm;
}

int32_t ListViewControl::SetBackgroundImage(HBITMAP bitmap, ULONG flags) {
    LVBKIMAGEW image{};
    image.ulFlags = (bitmap ? LVBKIF_SOURCE_HBITMAP : LVBKIF_SOURCE_NONE) | flags;
    image.hbm = bitmap;
    return SendToList(LVM_SETBKIMAGEW, 0, reinterpret_cast<LPARAM>(&image)) ? 1 : 0;
}

BOOL ListViewControl::SetColour(UINT setMessage, COLORREF colour) {
    const BOOL result = static_cast<BOOL>(SendToList(setMessage, 0, colour));
    Update();
    return result;
}

COLORREF ListViewControl::TextColour() const {
    return static_cast<COLORREF>(SendToList(LVM_GETTEXTCOLOR));
}

BOOL ListViewControl::SetTextColour(COLORREF colour) {
    return SetColour(LVM_SETTEXTCOLOR, colour);
}

COLORREF ListViewControl::TextBackColour() const {
    return static_cast<COLORREF>(SendToList(LVM_GETTEXTBKCOLOR));
}

BOOL ListViewControl::SetTextBackColour(COLORREF colour) {
    return SetColour(LVM_SETTEXTBKCOLOR, colour);
}

COLORREF ListViewControl::BackgroundColour() const {
    return static_cast<COLORREF>(SendToList(LVM_GETBKCOLOR));
}

BOOL ListViewControl::SetBackgroundColour(COLORREF colour) {
    return SetColour(LVM_SETBKCOLOR, colour);
}

int32_t ListViewControl::GetView() const {
    const DWORD bits = static_cast<DWORD>(Style()) & LVS_TYPEMASK;
    for (int32_t view = 0; view < 4; ++view) {
        if (kViewStyles[view] == bits)
            return view;
    }
    return -1;
}

HWND ListViewControl::GetHeader() const {
    return reinterpret_cast<HWND>(SendToList(LVM_GETHEADER));
}

int32_t ListViewControl::SetView(int32_t view) {
    if (view < 0 || view > 3)
        return 0;
    RemoveStyle(LVS_TYPEMASK);
    AddStyle(static_cast<LONG>(kViewStyles[view]));
    return 1;
}

// ---- handler registration ------------------------------------------------------------------

EventHandler ListViewControl::SetItemSelectedHandler(EventHandler handler) {
    return onItemSelected_ = handler;
}
EventHandler ListViewControl::SetHotTrackHandler(EventHandler handler) {
    return onHotTrack_ = handler;
}
EventHandler ListViewControl::SetColumnClickHandler(EventHandler handler) {
    return onColumnClick_ = handler;
}
EventHandler ListViewControl::SetItemActivateHandler(EventHandler handler) {
    return onItemActivate_ = handler;
}
EventHandler ListViewControl::SetBeginLabelEditHandler(EventHandler handler) {
    return onBeginLabelEdit_ = handler;
}
EventHandler ListViewControl::SetEndLabelEditHandler(EventHandler handler) {
    return onEndLabelEdit_ = handler;
}
EventHandler ListViewControl::SetClickHandler(EventHandler handler) {
    return onClick_ = handler;
}
EventHandler ListViewControl::SetRightClickHandler(EventHandler handler) {
    return onRightClick_ = handler;
}
EventHandler ListViewControl::SetDoubleClickHandler(EventHandler handler) {
    return onDoubleClick_ = handler;
}
EventHandler ListViewControl::SetCheckChangedHandler(EventHandler handler) {
    return onCheckChanged_ = handler;
}
