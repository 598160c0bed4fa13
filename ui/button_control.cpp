#include "ui/button_control.h"

ButtonControl::ButtonControl(const ButtonControl& other)
    : TextControl(other), onClick_(other.onClick_) {}

ButtonControl::~ButtonControl() {
    DetachFromWindow();
}

std::unique_ptr<ControlObject> ButtonControl::Clone() const {
    return std::unique_ptr<ControlObject>(new ButtonControl(*this));
}

LRESULT ButtonControl::CommandHook(HWND, HWND, int32_t notificationCode, int32_t) {
    if (notificationCode == BN_CLICKED) {
        // A copy: the handler may close the window, and that forgets the handler.
        const EventHandler handler = onClick_;
        handler();
    }
    return 0;
}

void ButtonControl::ResetHook() {
    bitmap_.Reset();
    icon_.Reset();
    onClick_ = nullptr;
}

int32_t ButtonControl::Create(HWND parent, std::optional<TextBlock> text, std::optional<int32_t> id,
                              DWORD style, int32_t x, int32_t y, int32_t width, int32_t height,
                              DWORD extendedStyle) {
    const int32_t counterId = NextControlId();
    return Create(parent, ChildWindowId{id.value_or(counterId)}, std::move(text), style, x, y,
                  width, height, extendedStyle);
}

int32_t ButtonControl::Create(HWND parent, ChildWindowId id, std::optional<TextBlock> text,
                              DWORD style, int32_t x, int32_t y, int32_t width, int32_t height,
                              DWORD extendedStyle) {
    const TextBlock caption = text ? std::move(*text) : TextBlock::FromWide(L"按钮");
    const DWORD fullStyle = WS_CHILD | WS_VISIBLE | WS_TABSTOP | style;
    return CreateTextWindow(parent, extendedStyle, L"Button", &caption, fullStyle, x, y, width,
                            height, id.value)
               ? 1
               : 0;
}

int32_t ButtonControl::CreateFromDialogItem(HWND dialog, int32_t itemId, bool setFont) {
    return AttachDialogItem(dialog, itemId, setFont) ? 1 : 0;
}

int32_t ButtonControl::FromWindow(HWND hwnd) {
    return AttachWindow(hwnd) ? 1 : 0;
}

LRESULT ButtonControl::SetImage(UniqueBitmap&& bitmap) {
    AddStyle(BS_BITMAP);
    const LRESULT result = Send(BM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(bitmap.Get()));
    // The old image is released only once the button no longer shows it.
    bitmap_ = std::move(bitmap);
    return result;
}

LRESULT ButtonControl::SetImage(UniqueIcon&& icon) {
    AddStyle(BS_ICON);
    const LRESULT result = Send(BM_SETIMAGE, IMAGE_ICON, reinterpret_cast<LPARAM>(icon.Get()));
    icon_ = std::move(icon);
    return result;
}

void ButtonControl::SetCheck(int32_t state) {
    Send(BM_SETCHECK, static_cast<WPARAM>(state), 0);
}

int32_t ButtonControl::GetCheck() const {
    return static_cast<int32_t>(SendMessageW(window_, BM_GETCHECK, 0, 0));
}

EventHandler ButtonControl::SetClickHandler(EventHandler handler) {
    return onClick_ = std::move(handler);
}
