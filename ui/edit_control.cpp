#include "ui/edit_control.h"

namespace {}  // namespace

EditControl::~EditControl() {
    DetachFromWindow();
}

std::unique_ptr<ControlObject> EditControl::Clone() const {
    return std::unique_ptr<ControlObject>(new EditControl(*this));
}

LRESULT EditControl::CommandHook(HWND, HWND, int32_t notificationCode, int32_t) {
    if (notificationCode == EN_CHANGE) {
        const EventHandler handler = onChange_;
        handler();
    }
    return 0;
}

int32_t EditControl::Create(HWND parent, std::optional<TextBlock> text, std::optional<DWORD> style,
                            int32_t x, int32_t y, int32_t width, int32_t height,
                            DWORD extendedStyle) {
    return Create(parent, ChildWindowId{NextControlId()}, std::move(text), style, x, y, width,
                  height, extendedStyle);
}

int32_t EditControl::Create(HWND parent, ChildWindowId id, std::optional<TextBlock> text,
                            std::optional<DWORD> style, int32_t x, int32_t y, int32_t width,
                            int32_t height, DWORD extendedStyle) {
    const DWORD fullStyle = WS_CHILD | WS_VISIBLE | WS_TABSTOP | style.value_or(ES_AUTOHSCROLL);
    if (!CreateTextWindow(parent, extendedStyle, L"Edit", text ? &*text : nullptr, fullStyle, x, y,
                          width, height, id.value))
        return 0;
    SetBackColour(kWhite);
    return 1;
}

int32_t EditControl::CreateFromDialogItem(HWND dialog, int32_t itemId, bool setFont) {
    if (!AttachDialogItem(dialog, itemId, setFont))
        return 0;
    SetBackColour(kWhite);
    return 1;
}

int32_t EditControl::FromWindow(HWND hwnd) {
    return AttachWindow(hwnd) ? 1 : 0;
}

void EditControl::SetSel(int32_t start, int32_t end) {
    Send(EM_SETSEL, static_cast<WPARAM>(start), end);
}

LRESULT EditControl::GetSel(int32_t& start, int32_t& end) const {
    DWORD first = 0;
    DWORD last = 0;
    const LRESULT result = SendMessageW(window_, EM_GETSEL, reinterpret_cast<WPARAM>(&first),
                                        reinterpret_cast<LPARAM>(&last));
    start = static_cast<int32_t>(first);
    end = static_cast<int32_t>(last);
    return result;
}

void EditControl::AppendText(const TextBlock& text) {
    Send(EM_SETSEL, static_cast<WPARAM>(-2), -1);
    ReplaceSel(text);
}

void EditControl::ReplaceSel(const TextBlock& text) {
    Send(EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(text.Wide()));
}

int32_t EditControl::TextLimit() const {
    return static_cast<int32_t>(SendMessageW(window_, EM_GETLIMITTEXT, 0, 0));
}

void EditControl::SetTextLimit(int32_t limit) {
    Send(EM_SETLIMITTEXT, static_cast<WPARAM>(limit), 0);
}

TextBlock EditControl::GetPasswordChar() const {
    const auto character = static_cast<wchar_t>(SendMessageW(window_, EM_GETPASSWORDCHAR, 0, 0));
    return TextBlock::FromWide(std::wstring_view(&character, 1));
}

void EditControl::SetPasswordChar(const TextBlock& value) {
    Send(EM_SETPASSWORDCHAR, value.Wide()[0], 0);
    InvalidateRect(window_, nullptr, TRUE);
}

int32_t EditControl::SetReadOnly(bool readOnly) {
    return Send(EM_SETREADONLY, readOnly ? TRUE : FALSE, 0) ? 1 : 0;
}

RECT EditControl::GetRect() const {
    RECT rectangle{};
    SendMessageW(window_, EM_GETRECT, 0, reinterpret_cast<LPARAM>(&rectangle));
    return rectangle;
}

void EditControl::SetRect(const RECT& rectangle) {
    Send(EM_SETRECTNP, 0, reinterpret_cast<LPARAM>(&rectangle));
}

EventHandler EditControl::SetChangeHandler(EventHandler handler) {
    return onChange_ = std::move(handler);
}
