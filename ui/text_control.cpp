#include "ui/text_control.h"

namespace {

// A window's device context, released when it goes out of scope.
class WindowDc {
  public:
    explicit WindowDc(HWND window) : window_(window), dc_(GetDC(window)) {}
    WindowDc(const WindowDc&) = delete;
    WindowDc& operator=(const WindowDc&) = delete;
    ~WindowDc() {
        if (dc_)
            ReleaseDC(window_, dc_);
    }
    HDC Handle() const { return dc_; }

  private:
    HWND window_;
    HDC dc_;
};

}  // namespace

TextControl::TextControl(const TextControl& other)
    : ControlObject(other), textColour_(other.textColour_), backColour_(other.backColour_) {}

LRESULT TextControl::ColourHook(HWND child, HDC dc) {
    if (backColour_ == kTransparent) {
        SetTextColor(dc, textColour_);
        SetBkMode(dc, TRANSPARENT);
        // Paint what the parent shows under the control, so the text sits on it.
        const HWND parent = GetParent(child);
        RECT area{};
        GetWindowRect(child, &area);
        POINT corners[2] = {{area.left, area.top}, {area.right, area.bottom}};
        ScreenToClient(parent, &corners[0]);
        ScreenToClient(parent, &corners[1]);
        const WindowDc parentDc(parent);
        BitBlt(dc, 0, 0, corners[1].x - corners[0].x, corners[1].y - corners[0].y,
               parentDc.Handle(), corners[0].x, corners[0].y, SRCCOPY);
        return reinterpret_cast<LRESULT>(GetStockObject(NULL_BRUSH));
    }
    if (background_.Get()) {
        SetTextColor(dc, textColour_);
        SetBkColor(dc, backColour_);
        return reinterpret_cast<LRESULT>(background_.Get());
    }
    return 0;
}

void TextControl::Reset(HWND hwnd) {
    if (hwnd) {
        ResetHook();
        background_.Reset();
        textColour_ = 0;
        backColour_ = 0;
    }
    ControlObject::Reset(hwnd);
}

HWND TextControl::CreateTextWindow(HWND parent, DWORD extendedStyle, const wchar_t* className,
                                   const TextBlock* text, DWORD style, int32_t x, int32_t y,
                                   int32_t width, int32_t height, int32_t id) {
    return CreateControlWindow(parent, extendedStyle, TextBlock::FromWide(className), text, style,
                               x, y, width, height, ChildId(id), nullptr);
}

void TextControl::Repaint(bool repaint) {
    if (repaint)
        InvalidateRect(window_, nullptr, FALSE);
}

COLORREF TextControl::TextColour() const {
    return textColour_;
}

void TextControl::SetTextColour(COLORREF colour, bool repaint) {
    textColour_ = colour;
    Repaint(repaint);
}

COLORREF TextControl::BackColour() const {
    return backColour_;
}

void TextControl::SetBackColour(COLORREF colour, bool repaint) {
    backColour_ = colour;
    if (backColour_ == kTransparent) {
        AddExtendedWindowStyle(WS_EX_TRANSPARENT);
        background_.Reset();
    } else {
        RemoveExtendedWindowStyle(WS_EX_TRANSPARENT);
        background_.Reset(CreateSolidBrush(backColour_));
    }
    Repaint(repaint);
}

void TextControl::ResetHook() {}

TextBlock TextControl::Text() const {
    return WindowText();
}

int32_t TextControl::SetText(const TextBlock& text) {
    const int32_t result = ChangeWindowText(text);
    if (backColour_ == kTransparent) {
        // The old text stays on the parent's picture until the parent repaints there.
        const RECT area = RectangleInParent();
        const HWND parent = ParentWindow();
        InvalidateRect(parent, &area, TRUE);
        UpdateWindow(parent);
    }
    return result;
}
