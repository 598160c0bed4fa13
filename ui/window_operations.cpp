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
    // A tiled picture is the brush itself.
    if (pictureMode_ == PictureMode::kTiled || !backgroundPicture_)
        return;
    UniqueMemoryDc source(CreateCompatibleDC(dc));
    if (!source)
        return;
    const HGDIOBJ old = SelectObject(source.Get(), backgroundPicture_.Get());
    if (pictureMode_ == PictureMode::kTopLeft) {
        BitBlt(dc, rectangle.left, rectangle.top, rectangle.right, rectangle.bottom, source.Get(),
               0, 0, SRCCOPY);
    } else {
        BITMAP info{};
        GetObjectA(backgroundPicture_.Get(), sizeof(info), &info);
        StretchBlt(dc, rectangle.left, rectangle.top, rectangle.right - rectangle.left,
                   rectangle.bottom - rectangle.top, source.Get(), 0, 0, info.bmWidth,
                   info.bmHeight, SRCCOPY);
    }
    SelectObject(source.Get(), old);
}

void Window::RedrawBackground(bool redraw) {
    if (redraw)
        InvalidateRect(window_, nullptr, TRUE);
}

COLORREF Window::BackgroundColour() const {
    return backgroundColour_;
}

void Window::SetBackgroundColour(COLORREF colour, bool redraw) {
    backgroundColour_ = colour;
    backgroundBrush_.Reset(CreateSolidBrush(colour));
    pictureMode_ = PictureMode::kTiled;
    RedrawBackground(redraw);
}

HBITMAP Window::BackgroundPicture() const {
    return backgroundPicture_.Get();
}

void Window::SetBackgroundPicture(UniqueBitmap&& picture, PictureMode mode, bool redraw) {
    backgroundPicture_ = std::move(picture);
    pictureMode_ = mode;
    // A tiled picture paints through a pattern brush; the others over a plain one.
    backgroundBrush_.Reset(mode == PictureMode::kTiled
                               ? CreatePatternBrush(backgroundPicture_.Get())
                               : CreateSolidBrush(backgroundColour_));
    RedrawBackground(redraw);
}

WindowState Window::State() const {
    if (IsIconic(window_))
        return WindowState::kMinimised;
    if (IsZoomed(window_))
        return WindowState::kMaximised;
    return WindowState::kNormal;
}

BOOL Window::SetState(WindowState state) {
    switch (state) {
        case WindowState::kNormal:
            return ShowWindow(window_, SW_SHOWNORMAL);
        case WindowState::kMinimised:
            return ShowWindow(window_, SW_MINIMIZE);
        case WindowState::kMaximised:
            return ShowWindow(window_, SW_MAXIMIZE);
        case WindowState::kCentred: {
            const RECT now = RectangleInParent();
            const int32_t x = (GetSystemMetrics(SM_CXSCREEN) - (now.right - now.left)) / 2;
            const int32_t y = (GetSystemMetrics(SM_CYSCREEN) - (now.bottom - now.top)) / 2;
            return SetWindowPos(window_, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_SHOWWINDOW);
        }
        case WindowState::kHidden:
            break;
    }
    return ShowWindow(window_, SW_HIDE);
}

HICON Window::Icon(int32_t size) const {
    return reinterpret_cast<HICON>(SendMessageW(window_, WM_GETICON, static_cast<WPARAM>(size), 0));
}

HICON Window::SetIcon(HICON icon, int32_t size) {
    return reinterpret_cast<HICON>(SendMessageW(window_, WM_SETICON, static_cast<WPARAM>(size),
                                                reinterpret_cast<LPARAM>(icon)));
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

int32_t Window::AddNotificationIcon(UniqueIcon&& icon, const TextBlock* tip) {
    if (!taskbarCreatedMessage_)
        taskbarCreatedMessage_ = RegisterWindowMessageW(L"TaskbarCreated");
    notification_.reset(static_cast<NOTIFYICONDATAW*>(Allocate(sizeof(NOTIFYICONDATAW))));
    notificationIcon_ = std::move(icon);
    NOTIFYICONDATAW& block = *notification_;
    // The shell's version 5.0 layout: text, balloon and state, no GUID.
    block.cbSize = NOTIFYICONDATAW_V2_SIZE;
    block.hWnd = window_;
    block.uID = 1;
    block.uCallbackMessage = kTrayMessage;
    block.hIcon = notificationIcon_.Get();
    CopyField(block.szTip, tip);
    return Notify(NIM_ADD, NIF_MESSAGE | NIF_ICON | NIF_TIP);
}

int32_t Window::SetNotificationTip(const TextBlock& tip) {
    if (!notification_)
        return 0;
    CopyField(notification_->szTip, &tip);
    return Notify(NIM_MODIFY, NIF_MESSAGE | NIF_ICON | NIF_TIP);
}

int32_t Window::SetNotificationIcon(UniqueIcon&& icon) {
    if (!notification_)
        return 0;
    notification_->hIcon = icon.Get();
    const int32_t result = Notify(NIM_MODIFY, NIF_MESSAGE | NIF_ICON | NIF_TIP);
    notificationIcon_ = std::move(icon);  // the old icon goes once the shell shows the new one
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

bool Window::KeepsCaptionActive() const {
    return keepCaptionActive_;
}

void Window::SetKeepCaptionActive(bool keep) {
    keepCaptionActive_ = keep;
}

bool Window::DragsToMove() const {
    return dragToMove_;
}

void Window::SetDragToMove(bool drag) {
    dragToMove_ = drag;
}

void Window::SetMinimumTrackSize(SizeSource source) {
    minimumTrackSize_ = std::move(source);
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
