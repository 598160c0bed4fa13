// The Window's life: class registration, Show with its modal loop, the class window
// procedure, the window-level events and the reset when the window goes.
#include "ui/window.h"

#include <new>

#include "runtime/heap.h"
#include "ui/window_registry.h"

namespace {

constexpr UINT kCreateMessage = WM_USER + 1;
constexpr DWORD kDefaultStyle = WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN;
constexpr int32_t kDefaultWidth = 380;
constexpr int32_t kDefaultHeight = 250;

void RegisterWindowClass(const TextBlock& className) {
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof(windowClass);
    windowClass.style = CS_VREDRAW | CS_HREDRAW | CS_DBLCLKS;
    windowClass.lpfnWndProc = &ClassWindowProc;
    windowClass.hInstance = LibraryInstance;
    windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    windowClass.lpszClassName = className.Wide();
    // A second registration of the same class fails; the first one stays in use.
    RegisterClassExW(&windowClass);
}

// The code OnTrayEvent reports for the mouse message of the notification-area icon.
int32_t TrayEventCode(LPARAM mouseMessage) {
    switch (static_cast<UINT>(mouseMessage)) {
        case WM_LBUTTONDOWN:
            return 1;
        case WM_RBUTTONDOWN:
            return 2;
        case WM_MBUTTONDOWN:
            return 3;
        case WM_LBUTTONDBLCLK:
            return 4;
        case WM_RBUTTONDBLCLK:
            return 5;
        case WM_MBUTTONDBLCLK:
            return 6;
        case WM_MOUSEMOVE:
            return 7;
        case NIN_BALLOONSHOW:
            return 8;
        case NIN_BALLOONTIMEOUT:
            return 9;
        case NIN_BALLOONUSERCLICK:
            return 10;
        default:
            return 0;
    }
}

}  // namespace

LRESULT CALLBACK ClassWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    try {
        // Messages sent while CreateWindowExW runs, and those of the hidden owner, find
        // no object.
        ControlObject* object = WindowRegistry::Find(hwnd);
        if (!object)
            return DefWindowProcW(hwnd, message, wParam, lParam);
        return object->HandleMessage(hwnd, message, wParam, lParam);
    } catch (const std::bad_alloc&) {
        ReportOutOfMemory();  // a container could not grow: the same end as any allocation
    } catch (...) {
        // Nothing may unwind into the window system.
        return 0;
    }
}

Window::Window(const Window& other)
    : ControlObject(other),
      backgroundColour_(other.backgroundColour_),
      backgroundMode_(other.backgroundMode_),
      taskbarCreatedMessage_(other.taskbarCreatedMessage_),
      onDestroy_(other.onDestroy_),
      onMove_(other.onMove_),
      onSize_(other.onSize_),
      onActivate_(other.onActivate_),
      onDeactivate_(other.onDeactivate_),
      onFirstActivate_(other.onFirstActivate_),
      onShow_(other.onShow_),
      onHide_(other.onHide_),
      onTrayEvent_(other.onTrayEvent_),
      onMenuCommand_(other.onMenuCommand_),
      keepCaptionActive_(other.keepCaptionActive_),
      dragToMove_(other.dragToMove_),
      firstActivation_(other.firstActivation_),
      onHotkey_(other.onHotkey_),
      onCreate_(other.onCreate_),
      onClose_(other.onClose_) {}

Window::~Window() {
    DetachFromWindow();
}

std::unique_ptr<ControlObject> Window::Clone() const {
    // The copy shares no brush, picture, icon or notification block: those stay with the
    // original, which alone releases them.
    return std::unique_ptr<ControlObject>(new Window(*this));
}

LRESULT Window::HandleMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == kCreateMessage) {
        if (onCreate_) {
            onCreate_(reinterpret_cast<intptr_t>(hwnd));
            // OnSize and the layout see the initial size.
            RECT client{};
            GetClientRect(hwnd, &client);
            SendMessageW(hwnd, WM_SIZE, 0, MAKELPARAM(client.right, client.bottom));
        }
        return DefWindowProcW(hwnd, message, wParam, lParam);
    }
    if (message == WM_CLOSE) {
        if (onClose_ && onClose_())
            return 1;
        DestroyWindow(hwnd);
        return 0;
    }
    if (DispatchWindowEvent(hwnd, message, wParam, lParam))
        return 1;
    return DefWindowProcW(hwnd, message, wParam, lParam);
}

int32_t Window::DispatchWindowEvent(HWND, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_MOVE:
            onMove_(LOWORD(lParam), static_cast<int16_t>(HIWORD(lParam)));
            return 0;
        case WM_SIZE:
            LayoutHook();
            onSize_(LOWORD(lParam), HIWORD(lParam));
            return 0;
        case WM_ACTIVATE:
            if (LOWORD(wParam)) {
                if (!firstActivation_) {
                    firstActivation_ = 1;
                    onFirstActivate_();
                }
                onActivate_();
            } else {
                onDeactivate_();
            }
            return 0;
        case WM_SHOWWINDOW:
            if (wParam)
                onShow_();
            else
                onHide_();
            return 0;
        case WM_DESTROY:
            onDestroy_();
            return 0;
        case kTrayMessage:
            onTrayEvent_(TrayEventCode(lParam));
            return 0;
        case WM_NCACTIVATE:
            // Keeps the caption looking active when the window loses the activation.
            return wParam == 0 && keepCaptionActive_ == 1 ? 1 : 0;
        case WM_COMMAND: {
            const WORD code = HIWORD(wParam);
            if (lParam == 0 && (code == 0 || code == 1))
                onMenuCommand_(LOWORD(wParam));
            return 0;
        }
        case WM_HOTKEY:
            onHotkey_(static_cast<intptr_t>(wParam), LOWORD(lParam), HIWORD(lParam));
            return 0;
        default:
            break;
    }
    if (taskbarCreatedMessage_ != 0 && message == taskbarCreatedMessage_ && notification_) {
        // The shell restarted: put the icon back.
        Shell_NotifyIconW(NIM_DELETE, notification_.get());
        Notify(NIM_ADD, NIF_MESSAGE | NIF_ICON | NIF_TIP);
    }
    return 0;
}

LRESULT Window::EraseHook(HWND hwnd, HDC dc) {
    if (!backgroundBrush_)
        return 0;
    RECT client{};
    GetClientRect(hwnd, &client);
    PaintBackground(dc, client);
    return 1;
}

LRESULT Window::LeftDownHook(HWND, LPARAM) {
    if (dragToMove_)
        SendMessageW(window_, WM_NCLBUTTONDOWN, HTCAPTION, 0);
    return 0;
}

void Window::Reset(HWND) {
    ForgetCloseAndCreateHandlers();
    backgroundBrush_.Reset();
    backgroundBitmap_.Reset();
    if (notification_) {
        Shell_NotifyIconW(NIM_DELETE, notification_.get());
        notification_.reset();
    }
    notificationIcon_.Reset();
    backgroundColour_ = 0;
    taskbarCreatedMessage_ = 0;
    onDestroy_ = onMove_ = onSize_ = onActivate_ = onDeactivate_ = nullptr;
    onFirstActivate_ = onShow_ = onHide_ = onTrayEvent_ = onMenuCommand_ = nullptr;
    keepCaptionActive_ = dragToMove_ = firstActivation_ = 0;
    onHotkey_ = nullptr;
    if (hiddenOwner_) {
        // The owner has no object; its class procedure closes it later.
        PostMessageW(hiddenOwner_, WM_CLOSE, 0, 0);
        hiddenOwner_ = nullptr;
    }
}

void Window::LayoutHook() {}

void Window::ForgetCloseAndCreateHandlers() {
    onCreate_ = nullptr;
    onClose_ = nullptr;
}

HWND Window::CreateFrame(HWND owner, const TextBlock* title, DWORD style, DWORD extendedStyle,
                         int32_t x, int32_t y, int32_t width, int32_t height,
                         const TextBlock& className) {
    BackgroundColour(GetSysColor(COLOR_BTNFACE), 0);
    const HWND hwnd = CreateControlWindow(owner, extendedStyle, className, title, style, x, y,
                                          width, height, nullptr, nullptr);
    if (hwnd && owner) {
        for (WPARAM size : {ICON_SMALL, ICON_BIG}) {
            const LRESULT icon = SendMessageW(owner, WM_GETICON, size, 0);
            SendMessageW(hwnd, WM_SETICON, size, icon);
        }
    }
    return hwnd;
}

HWND Window::Show(std::optional<HWND> parent, const TextBlock* title, EventHandler onCreate,
                  std::optional<int32_t> modal, std::optional<int32_t> x, std::optional<int32_t> y,
                  std::optional<int32_t> width, std::optional<int32_t> height,
                  std::optional<DWORD> style, std::optional<DWORD> extendedStyle,
                  std::optional<int32_t> visible, TextBlock* className, HACCEL accelerators,
                  std::optional<int32_t> showInTaskbar) {
    TextBlock libraryClass;
    const TextBlock* windowClass = className;
    if (!className || className->WideLength() == 0) {
        libraryClass = ToUtf16(Text("WTWindow"));
        if (className)
            *className = libraryClass;
        windowClass = &libraryClass;
    }
    RegisterWindowClass(*windowClass);

    onCreate_ = onCreate;
    const HWND parentWindow = parent.value_or(nullptr);
    HWND owner = parentWindow;
    if (!parentWindow && showInTaskbar.value_or(1) == 0) {
        owner = CreateWindowExW(0, windowClass->Wide(), L"ShowTaskbar", 0, 0, 0, 250, 110, nullptr,
                                nullptr, LibraryInstance, nullptr);
    }
    const HWND hwnd =
        CreateFrame(owner, title, style.value_or(kDefaultStyle), extendedStyle.value_or(0),
                    x.value_or(CW_USEDEFAULT), y.value_or(CW_USEDEFAULT),
                    width.value_or(kDefaultWidth), height.value_or(kDefaultHeight), *windowClass);
    if (!hwnd) {
        if (owner && owner != parentWindow)
            DestroyWindow(owner);
        return nullptr;
    }
    if (owner != parentWindow)
        hiddenOwner_ = owner;

    SendMessageW(hwnd, kCreateMessage, 0, 0);
    if (visible.value_or(1) == 1) {
        ShowWindow(hwnd, SW_SHOW);
        UpdateWindow(hwnd);
    }
    if (modal.value_or(0) != 0) {
        const bool disablesParent = parentWindow && IsWindow(parentWindow);
        if (disablesParent)
            EnableWindow(parentWindow, FALSE);
        RunModalLoop(hwnd, accelerators);
        if (disablesParent && IsWindow(parentWindow)) {
            EnableWindow(parentWindow, TRUE);
            SetActiveWindow(parentWindow);
        }
    }
    return hwnd;
}

void Window::RunModalLoop(HWND hwnd, HACCEL accelerators) {
    // Checked before each wait too, so a window that OnCreate already closed does not
    // leave the parent disabled until some unrelated message arrives.
    while (IsWindow(hwnd)) {
        MSG message{};
        if (GetMessageW(&message, nullptr, 0, 0) == 0)
            return;  // WM_QUIT ends only this loop
        if (TranslateAcceleratorW(hwnd, accelerators, &message))
            continue;
        if (IsDialogMessageW(hwnd, &message))
            continue;
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
}

int32_t Window::AttachExistingWindow(HWND hwnd) {
    return AttachWindow(hwnd) ? 1 : 0;
}

EventHandler Window::SetMenuCommandHandler(EventHandler handler) {
    return onMenuCommand_ = handler;
}
EventHandler Window::SetDestroyHandler(EventHandler handler) {
    return onDestroy_ = handler;
}
EventHandler Window::SetMoveHandler(EventHandler handler) {
    return onMove_ = handler;
}
EventHandler Window::SetSizeHandler(EventHandler handler) {
    return onSize_ = handler;
}
EventHandler Window::SetActivateHandler(EventHandler handler) {
    return onActivate_ = handler;
}
EventHandler Window::SetDeactivateHandler(EventHandler handler) {
    return onDeactivate_ = handler;
}
EventHandler Window::SetFirstActivateHandler(EventHandler handler) {
    return onFirstActivate_ = handler;
}
EventHandler Window::SetShowHandler(EventHandler handler) {
    return onShow_ = handler;
}
EventHandler Window::SetHideHandler(EventHandler handler) {
    return onHide_ = handler;
}
EventHandler Window::SetTrayEventHandler(EventHandler handler) {
    return onTrayEvent_ = handler;
}
EventHandler Window::SetHotkeyHandler(EventHandler handler) {
    return onHotkey_ = handler;
}
EventHandler Window::SetCloseHandler(EventHandler handler) {
    return onClose_ = handler;
}
