#include "ui/combo_box_control.h"

#include <vector>

namespace {
constexpr DWORD kAddedComboStyle = WS_VSCROLL | CBS_AUTOHSCROLL | CBS_NOINTEGRALHEIGHT;
}  // namespace

ComboBoxControl::~ComboBoxControl() {
    DetachFromWindow();
}

std::unique_ptr<ControlObject> ComboBoxControl::Clone() const {
    return std::unique_ptr<ControlObject>(new ComboBoxControl(*this));
}

LRESULT ComboBoxControl::SendToCombo(UINT message, WPARAM wParam, LPARAM lParam) const {
    return SendMessageW(window_, message, wParam, lParam);
}

LRESULT ComboBoxControl::CommandHook(HWND, HWND, int32_t notificationCode, int32_t) {
    EventHandler handler;
    switch (notificationCode) {
        case CBN_SELCHANGE:
            handler = onSelChange_;
            break;
        case CBN_EDITUPDATE:
            handler = onEditUpdate_;
            break;
        case CBN_DROPDOWN:
            handler = onDropDown_;
            break;
        case CBN_CLOSEUP:
            handler = onCloseUp_;
            break;
        case CBN_DBLCLK:
            handler = onDoubleClick_;
            break;
        default:
            break;
    }
    handler();
    return 0;
}

void ComboBoxControl::ResetHook() {
    onSelChange_ = nullptr;
    onEditUpdate_ = nullptr;
    onDropDown_ = nullptr;
    onCloseUp_ = nullptr;
    onDoubleClick_ = nullptr;
}

int32_t ComboBoxControl::Create(HWND parent, std::optional<DWORD> comboType, int32_t x, int32_t y,
                                int32_t width, int32_t height, DWORD extendedStyle) {
    return Create(parent, ChildWindowId{NextControlId()}, comboType, x, y, width, height,
                  extendedStyle);
}

int32_t ComboBoxControl::Create(HWND parent, ChildWindowId id, std::optional<DWORD> comboType,
                                int32_t x, int32_t y, int32_t width, int32_t height,
                                DWORD extendedStyle) {
    const TextBlock title = TextBlock::FromWide(L"ComboBox");
    const DWORD style =
        WS_CHILD | WS_VISIBLE | WS_TABSTOP | comboType.value_or(CBS_DROPDOWN) | kAddedComboStyle;
    if (!CreateTextWindow(parent, extendedStyle, L"ComboBox", &title, style, x, y, width, height,
                          id.value))
        return 0;
    SetBackColour(kWhite);
    return 1;
}

int32_t ComboBoxControl::CreateFromDialogItem(HWND dialog, int32_t itemId, bool setFont) {
    if (!AttachDialogItem(dialog, itemId, setFont))
        return 0;
    SetBackColour(kWhite);
    return 1;
}

int32_t ComboBoxControl::FromWindow(HWND hwnd) {
    return AttachWindow(hwnd) ? 1 : 0;
}

int32_t ComboBoxControl::AddItem(const TextBlock& text, LPARAM data) {
    const auto index =
        static_cast<int32_t>(SendToCombo(CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.Wide())));
    if (index >= 0)
        SendToCombo(CB_SETITEMDATA, static_cast<WPARAM>(index), data);
    return index;
}

int32_t ComboBoxControl::InsertItem(int32_t index, const TextBlock& text, LPARAM data) {
    // The data goes to the index the box reports, which differs from `index` for -1.
    const auto inserted = static_cast<int32_t>(SendToCombo(
        CB_INSERTSTRING, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(text.Wide())));
    if (inserted >= 0)
        SendToCombo(CB_SETITEMDATA, static_cast<WPARAM>(inserted), data);
    return inserted;
}

int32_t ComboBoxControl::LimitText(int32_t limit) {
    return static_cast<int32_t>(SendToCombo(CB_LIMITTEXT, static_cast<WPARAM>(limit)));
}

TextBlock ComboBoxControl::GetItemText(int32_t index) const {
    const auto length =
        static_cast<int32_t>(SendToCombo(CB_GETLBTEXTLEN, static_cast<WPARAM>(index)));
    if (length < 0)
        return TextBlock::EmptyWide();
    std::vector<wchar_t> buffer(static_cast<size_t>(length) + 1, L'\0');
    const auto copied = static_cast<int32_t>(SendToCombo(CB_GETLBTEXT, static_cast<WPARAM>(index),
                                                         reinterpret_cast<LPARAM>(buffer.data())));
    if (copied < 0)
        return TextBlock::EmptyWide();
    return TextBlock::FromWide(
        std::wstring_view(buffer.data(), static_cast<size_t>(copied < length ? copied : length)));
}

int32_t ComboBoxControl::SelectString(const TextBlock& text, int32_t start) {
    return static_cast<int32_t>(SendToCombo(CB_SELECTSTRING, static_cast<WPARAM>(start),
                                            reinterpret_cast<LPARAM>(text.Wide())));
}

int32_t ComboBoxControl::GetCount() const {
    return static_cast<int32_t>(SendToCombo(CB_GETCOUNT));
}

int32_t ComboBoxControl::GetCurSel() const {
    return static_cast<int32_t>(SendToCombo(CB_GETCURSEL));
}

int32_t ComboBoxControl::SetCurSel(int32_t index) {
    return SendToCombo(CB_SETCURSEL, static_cast<WPARAM>(index)) == CB_ERR ? 0 : 1;
}

LPARAM ComboBoxControl::GetItemData(int32_t index) const {
    return SendToCombo(CB_GETITEMDATA, static_cast<WPARAM>(index));
}

int32_t ComboBoxControl::SetItemData(int32_t index, LPARAM data) {
    return static_cast<int32_t>(SendToCombo(CB_SETITEMDATA, static_cast<WPARAM>(index), data));
}

int32_t ComboBoxControl::DeleteItem(int32_t index) {
    return static_cast<int32_t>(SendToCombo(CB_DELETESTRING, static_cast<WPARAM>(index)));
}

void ComboBoxControl::ResetContent() {
    SendToCombo(CB_RESETCONTENT);
}

int32_t ComboBoxControl::ShowDropDown(bool show) {
    return static_cast<int32_t>(SendToCombo(CB_SHOWDROPDOWN, show ? TRUE : FALSE));
}

int32_t ComboBoxControl::FindString(const TextBlock& text, int32_t start) const {
    return static_cast<int32_t>(SendToCombo(CB_FINDSTRING, static_cast<WPARAM>(start),
                                            reinterpret_cast<LPARAM>(text.Wide())));
}

int32_t ComboBoxControl::FindStringExact(const TextBlock& text, int32_t start) const {
    return static_cast<int32_t>(SendToCombo(CB_FINDSTRINGEXACT, static_cast<WPARAM>(start),
                                            reinterpret_cast<LPARAM>(text.Wide())));
}

RECT ComboBoxControl::GetDroppedControlRect() const {
    RECT rectangle{};
    SendToCombo(CB_GETDROPPEDCONTROLRECT, 0, reinterpret_cast<LPARAM>(&rectangle));
    return rectangle;
}

int32_t ComboBoxControl::GetDroppedState() const {
    return static_cast<int32_t>(SendToCombo(CB_GETDROPPEDSTATE));
}

int32_t ComboBoxControl::GetDroppedWidth() const {
    return static_cast<int32_t>(SendToCombo(CB_GETDROPPEDWIDTH));
}

int32_t ComboBoxControl::SetDroppedWidth(int32_t width) {
    return static_cast<int32_t>(SendToCombo(CB_SETDROPPEDWIDTH, static_cast<WPARAM>(width)));
}

int32_t ComboBoxControl::GetItemHeight(int32_t component) const {
    return static_cast<int32_t>(SendToCombo(CB_GETITEMHEIGHT, static_cast<WPARAM>(component)));
}

int32_t ComboBoxControl::SetItemHeight(int32_t height, int32_t component) {
    return static_cast<int32_t>(
        SendToCombo(CB_SETITEMHEIGHT, static_cast<WPARAM>(component), height));
}

int32_t ComboBoxControl::SetEditSel(int32_t start, int32_t end) {
    return static_cast<int32_t>(SendToCombo(CB_SETEDITSEL, 0, MAKELPARAM(start, end)));
}

LRESULT ComboBoxControl::GetEditSel(int32_t& start, int32_t& end) const {
    DWORD first = 0;
    DWORD last = 0;
    const LRESULT result = SendToCombo(CB_GETEDITSEL, reinterpret_cast<WPARAM>(&first),
                                       reinterpret_cast<LPARAM>(&last));
    start = static_cast<int32_t>(first);
    end = static_cast<int32_t>(last);
    return result;
}

int32_t ComboBoxControl::GetTopIndex() const {
    return static_cast<int32_t>(SendToCombo(CB_GETTOPINDEX));
}

int32_t ComboBoxControl::SetTopIndex(int32_t index) {
    return static_cast<int32_t>(SendToCombo(CB_SETTOPINDEX, static_cast<WPARAM>(index)));
}

int32_t ComboBoxControl::SetExtendedUI(bool extended) {
    return static_cast<int32_t>(SendToCombo(CB_SETEXTENDEDUI, extended ? TRUE : FALSE));
}

int32_t ComboBoxControl::GetExtendedUI() const {
    return static_cast<int32_t>(SendToCombo(CB_GETEXTENDEDUI));
}

EventHandler ComboBoxControl::SetSelChangeHandler(EventHandler handler) {
    return onSelChange_ = std::move(handler);
}
EventHandler ComboBoxControl::SetEditUpdateHandler(EventHandler handler) {
    return onEditUpdate_ = std::move(handler);
}
EventHandler ComboBoxControl::SetDropDownHandler(EventHandler handler) {
    return onDropDown_ = std::move(handler);
}
EventHandler ComboBoxControl::SetCloseUpHandler(EventHandler handler) {
    return onCloseUp_ = std::move(handler);
}
EventHandler ComboBoxControl::SetComboDoubleClickHandler(EventHandler handler) {
    return onDoubleClick_ = std::move(handler);
}
