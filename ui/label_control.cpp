#include "ui/label_control.h"

LabelControl::~LabelControl() {
    DetachFromWindow();
}

std::unique_ptr<ControlObject> LabelControl::Clone() const {
    return std::unique_ptr<ControlObject>(new LabelControl(*this));
}

int32_t LabelControl::Create(HWND parent, std::optional<TextBlock> text, std::optional<DWORD> style,
                             int32_t x, int32_t y, int32_t width, int32_t height,
                             DWORD extendedStyle) {
    return Create(parent, ChildWindowId{NextControlId()}, std::move(text), style, x, y, width,
                  height, extendedStyle);
}

int32_t LabelControl::Create(HWND parent, ChildWindowId id, std::optional<TextBlock> text,
                             std::optional<DWORD> style, int32_t x, int32_t y, int32_t width,
                             int32_t height, DWORD extendedStyle) {
    const TextBlock shown = text ? std::move(*text) : TextBlock::FromWide(L"标签");
    const DWORD fullStyle = WS_CHILD | WS_VISIBLE | style.value_or(SS_CENTERIMAGE);
    if (!CreateTextWindow(parent, extendedStyle, L"Static", &shown, fullStyle, x, y, width, height,
                          id.value))
        return 0;
    SetBackColour(GetSysColor(COLOR_BTNFACE));
    return 1;
}

int32_t LabelControl::CreateFromDialogItem(HWND dialog, int32_t itemId, bool setFont) {
    if (!AttachDialogItem(dialog, itemId, setFont))
        return 0;
    SetBackColour(GetSysColor(COLOR_BTNFACE));
    return 1;
}

int32_t LabelControl::FromWindow(HWND hwnd) {
    return AttachWindow(hwnd) ? 1 : 0;
}
