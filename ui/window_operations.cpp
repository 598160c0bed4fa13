// The operations only a Window has: background, window state, icons, the notification
// area, caption behaviour and hotkeys.
#include "ui/window.h"

namespace {

// Ids handed out by RegisterHotkey, shared by all windows: 1, 2, 3, ... in order of
// successful registration.
int32_t g_hotkeyCounter = 0;

// Copies a text into a fixed field, cut to fit and always terminated.
template <size_t N>
void CopyField(wchar_t (&field)[N], const TextBlock* text) {
    lstrcpynW(field, text ? text->Wide() : L"", static_cast<int>(N));
}

}  // namespace

void Window::PaintBackground(HDC dc, const RECT& rectangle) {
    FillRect(dc, &rectangle, backgroundBrush_.Get());
    if (backgroundMode_ == 0 || !backgroundBitmap_)
        return;
    UniqueMemoryDc source(CreateCompatibleDC(dc));
    if (!source)
        return;
    const HGDIOBJ old = SelectObject(source.Get(), backgroundBitmap_.Get());
    if (backgroundMode_ == 1) {
        BitBlt(dc, rectangle.left, rectangle.top, rectangle.right, rectangle.bottom, source.Get(),
               0, 0, SRCCOPY);
    } else {
        BITMAP info{};
        GetObjectA(backgroundBitmap_.Get(), sizeof(info), &info);
        StretchBlt(dc, rectangle.left, rectangle.top, rectangle.right - rectangle.left,
                   rectangle.bottom - rectangle.top, source.Get(), 0, 0, info.bmWidth,
                   info.bmHeight, SRCCOPY);
    }
    SelectObject(source.Get(), old);
}

void Window::RedrawBackground(std::optional<int32_t> redraw) {
    if (redraw.value_or(1) == 1)
        InvalidateRect(window_, nullptr, TRUE);
}

COLORREF Window::BackgroundColour(std::optional<COLORREF> colour, std::optional<int32_t> redraw) {
    if (colour) {
        backgroundColour_ = *colour;
        backgroundBrush_.Reset(CreateSolidBrush(*colour));
        backgroundMode_ = 0;
        RedrawBackground(redraw);
    }
    return backgroundColour_;
}

HBITMAP Window::BackgroundPicture(std::optional<HBITMAP> bitmap, int32_t mode,
                                  std::optional<int32_t> redraw) {
    if (bitmap) {
        backgroundBitmap_.Reset(*bitmap);
        backgroundMode_ = mode;
        // Mode 0 tiles the picture through the brush; the others paint it over a plain one.
        backgroundBrush_.Reset(mode == 0 ? CreatePatternBrush(*bitmap)
                                         : CreateSolidBrush(backgroundColour_));
        RedrawBackground(redraw);
    }
    return backgroundBitmap_.Get();
}

int32_t Window::WindowState(std::optional<int32_t> state) {
    if (!state) {
        if (IsIconic(window_))
            return 1;
        if (IsZoomed(window_))
            return 2;
        return 0;
    }
    switch (*state) {
        case 0:
            return ShowWindow(window_, SW_SHOWNORMAL);
        case 1:
            return ShowWindow(window_, SW_MINIMIZE);
        case 2:
            return ShowWindow(window_, SW_MAXIMIZE);
        case 3: {
            const RECT now = RectangleInParent();
            const int32_t x = (GetSystemMetrics(SM_CXSCREEN) - (now.right - now.left)) / 2;
            const int32_t y = (GetSystemMetrics(SM_CYSCREEN) - (now.bottom - now.top)) / 2;
            return SetWindowPos(window_, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_SHOWWINDOW);
        }
        default:
            return ShowWindow(window_, SW_HIDE);
    }
}

HICON Window::Icon(std::optional<HICON> icon, int32_t size) {
    if (icon) {
        return reinterpret_cast<HICON>(SendMessageW(window_, WM_SETICON, static_cast<WPARAM>(size),
                                                    reinterpret_cast<LPARAM>(*icon)));
    }
    return reinterpret_cast<HICON>(SendMessageW(window_, WM_GETICON, static_cast<WPARAM>(size), 0));
}

MenuObject& Window::MenuBar() const {
    MenuObject& bar = LibraryMenuBarObject();
    bar.Hold(GetMenu(window_));
    return bar;
}

int32_t Window::SetMenuBar(const MenuObject* menu) {
    return SetMenu(window_, menu ? menu->GetHandle() : nullptr) ? 1 : 0;
}

int32_t Window::RedrawMenuBar() {
    return DrawMenuBar(window_) ? 1 : 0;
}

int32_t Window::Notify(DWORD message, UINT flags) {
    notification_->uFlags = flags;
    return Shell_NotifyIconW(message, notification_.get()) ? 1 : 0;
}

// The 32-bit program hands the shell the 936-byte block of that layout.
static_assert(sizeof(void*) != 4 || NOTIFYICONDATAW_V2_SIZE == 936);

int32_t Window::AddNotificationIcon(HICON icon, const TextBlock* tip) {
    if (!taskbarCreatedMessage_)
        taskbarCreatedMessage_ = RegisterWindowMessageW(L"TaskbarCreated");
    notification_.reset(static_cast<NOTIFYICONDATAW*>(Allocate(sizeof(NOTIFYICONDATAW))));
    notificationIcon_.Reset(icon);
    NOTIFYICONDATAW& block = *notification_;
    // The shell's version 5.0 layout: text, balloon and state, no GUID.
    block.cbSize = NOTIFYICONDATAW_V2_SIZE;
    block.hWnd = window_;
    block.uID = 1;
    block.uCallbackMessage = kTrayMessage;
    block.hIcon = icon;
    CopyField(block.szTip, tip);
    return Notify(NIM_ADD, NIF_MESSAGE | NIF_ICON | NIF_TIP);
}

int32_t Window::SetNotificationTip(const TextBlock& tip) {
    if (!notification_)
        return 0;
    CopyField(notification_->szTip, &tip);
    return Notify(NIM_MODIFY, NIF_MESSAGE | NIF_ICON | NIF_TIP);
}

int32_t Window::SetNotificationIcon(HICON icon) {
    if (!notification_)
        return 0;
    notification_->hIcon = icon;
    const int32_t result = Notify(NIM_MODIFY, NIF_MESSAGE | NIF_ICON | NIF_TIP);
    notificationIcon_.Reset(icon);  // the old icon goes once the shell shows the new one
    return result;
}

int32_t Window::ShowBalloon(const TextBlock& text, const TextBlock* title, DWORD infoFlags,
                            UINT timeout) {
    if (!notification_)
        return 0;
    CopyField(notification_->szInfo, &text);
    CopyField(notification_->szInfoTitle, title);
    notification_->dwInfoFlags = infoFlags;
    notification_->uTimeout = timeout;
    return Notify(NIM_MODIFY, NIF_MESSAGE | NIF_ICON | NIF_TIP | NIF_STATE | NIF_INFO);
}

int32_t Window::RemoveNotificationIcon() {
    if (!notification_)
        return 0;
    const int32_t result = Shell_NotifyIconW(NIM_DELETE, notification_.get()) ? 1 : 0;
    notificationIcon_.Reset();
    notification_->hIcon = nullptr;
    return result;
}

int32_t Window::KeepCaptionActive(std::optional<int32_t> value) {
    if (value) {
        keepCaptionActive_ = *value ? 1 : 0;
        return 1;
    }
    return keepCaptionActive_ == 1 ? 1 : 0;
}

int32_t Window::DragToMove(std::optional<int32_t> value) {
    if (value) {
        dragToMove_ = *value ? 1 : 0;
        return 1;
    }
    return dragToMove_ ? 1 : 0;
}

int32_t Window::RegisterHotkey(UINT modifiers, UINT virtualKey) {
    const int32_t id = g_hotkeyCounter + 1;
    if (!RegisterHotKey(window_, id, modifiers, virtualKey))
        return 0;
    g_hotkeyCounter = id;
    return id;
}

int32_t Window::UnregisterHotkey(int32_t id) {
    return UnregisterHotKey(window_, id) ? 1 : 0;
}
