// The Window's life: class registration, Show with its modal loop, the class window
// procedure, the window-level events and the reset when the window goes.
#include "ui/window.h"

#include "runtime/guard.h"
#include "ui/window_registry.h"

namespace {

constexpr UINT kCreateMessage = WM_USER + 1;

void RegisterWindowClass(const TextBlock& className) {
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof(windowClass);
    windowClass.style = CS_VREDRAW | CS_HREDRAW | CS_DBLCLKS;
    windowClass.lpfnWndProc = &Window::ClassWndProc;
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

bool IsButtonDown(UINT mouseMessage) {
    return mouseMessage == WM_LBUTTONDOWN || mouseMessage == WM_RBUTTONDOWN ||
           mouseMessage == WM_MBUTTONDOWN || mouseMessage == WM_XBUTTONDOWN;
}

}  // namespace

LRESULT CALLBACK Window::ClassWndProc(HWND hwnd, UINT message, WPARAM wParam,
                                      LPARAM lParam) noexcept {
    // Messages sent while CreateWindowExW runs, and those of the hidden owner, find no
    // object; a window of the class attached to some other kind of object is left to the
    // default procedure.
    auto* window = dynamic_cast<Window*>(WindowRegistry::Find(hwnd));
    if (!window)
        return DefWindowProcW(hwnd, message, wParam, lParam);
    return window->ClassMessageHandler(hwnd, message, wParam, lParam);
}

LRESULT Window::ClassMessageHandler(HWND hwnd, UINT message, WPARAM wParam,
                                    LPARAM lParam) noexcept {
    return RunGuarded([&] { return HandleClassMessage(hwnd, message, wParam, lParam); });
}

Window::Window(const Window& other)
    : ControlObject(other),
      events_(other.events_),
      backgroundColour_(other.backgroundColour_),
      pictureMode_(other.pictureMode_),
      taskbarCreatedMessage_(other.taskbarCreatedMessage_),
      keepCaptionActive_(other.keepCaptionActive_),
      dragToMove_(other.dragToMove_),
      activatedBefore_(other.activatedBefore_) {}
Window::~Window() {
    DetachFromWindow();
}

std::unique_ptr<ControlObject> Window::Clone() const {
    return std::unique_ptr<ControlObject>(new Window(*this));
}

LRESULT Window::HandleClassMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == kCreateMessage) {
        if (events_.create) {
            events_.create(reinterpret_cast<intptr_t>(hwnd));
            // OnSize and the layout see the initial size.
            RECT client{};
            GetClientRect(hwnd, &client);
            SendMessageW(hwnd, WM_SIZE, 0, MAKELPARAM(client.right, client.bottom));
        }
        return DefWindowProcW(hwnd, message, wParam, lParam);
    }
    if (message == WM_CLOSE) {
        if (events_.close && events_.close())
            return 1;
        DestroyWindow(hwnd);
        return 0;
    }
    if (RaiseWindowEvent(message, wParam, lParam))
        return 1;
    return DefWindowProcW(hwnd, message, wParam, lParam);
}

bool Window::RaiseWindowEvent(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_MOVE:
            events_.move(LOWORD(lParam), static_cast<int16_t>(HIWORD(lParam)));
            return false;
        case WM_SIZE:
            events_.size(LOWORD(lParam), HIWORD(lParam));
            return false;
        case WM_GETMINMAXINFO:
            if (minimumTrackSize_) {
                const SIZE smallest = minimumTrackSize_();
                if (smallest.cx > 0 && smallest.cy > 0)
                    reinterpret_cast<MINMAXINFO*>(lParam)->ptMinTrackSize = {smallest.cx,
                                                                             smallest.cy};
            }
            return false;
        case WM_ACTIVATE:
            if (LOWORD(wParam)) {
                if (!activatedBefore_) {
                    activatedBefore_ = true;
                    events_.firstActivate();
                }
                events_.activate();
            } else {
                events_.deactivate();
            }
            return false;
        case WM_SHOWWINDOW:
            if (wParam)
                events_.show();
            else
                events_.hide();
            return false;
        case WM_DESTROY:
            events_.destroy();
            return false;
        case kTrayMessage:
            events_.trayEvent(TrayEventCode(lParam));
            return false;
        case WM_NCACTIVATE:
            // Keeps the caption looking active when the window loses the activation.
            return wParam == 0 && keepCaptionActive_;
        case WM_COMMAND: {
            const WORD code = HIWORD(wParam);
            if (lParam == 0 && (code == 0 || code == 1))
                events_.menuCommand(LOWORD(wParam));
            return false;
        }
        case WM_SYSCOMMAND:
            return events_.systemCommand(static_cast<intptr_t>(wParam & 0xFFF0)) != 0;
        case WM_HOTKEY:
            events_.hotkey(static_cast<intptr_t>(wParam), LOWORD(lParam), HIWORD(lParam));
            return false;
        case WM_LBUTTONDOWN:
        case WM_RBUTTONDOWN:
        case WM_MBUTTONDOWN:
        case WM_XBUTTONDOWN:
            events_.press();
            return false;
        case WM_PARENTNOTIFY:
            if (IsButtonDown(LOWORD(wParam)))
                events_.press();
            return false;
        case WM_DPICHANGED:
            if (!events_.dpiChange)
                return false;
            events_.dpiChange(HIWORD(wParam), lParam);
            return true;
        default:
            break;
    }
    if (taskbarCreatedMessage_ != 0 && message == taskbarCreatedMessage_ && notification_) {
        // The shell restarted: put the icon back.
        Shell_NotifyIconW(NIM_DELETE, notification_.get());
        Notify(NIM_ADD, NIF_MESSAGE | NIF_ICON | NIF_TIP);
    }
    return false;
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
    events_ = {};
    backgroundBrush_.Reset();
    backgroundPicture_.Reset();
    if (notification_) {
        Shell_NotifyIconW(NIM_DELETE, notification_.get());
        notification_.reset();
    }
    notificationIcon_.Reset();
    backgroundColour_ = 0;
    taskbarCreatedMessage_ = 0;
    keepCaptionActive_ = dragToMove_ = activatedBefore_ = false;
    if (hiddenOwner_) {
        // The owner has no object; its class procedure closes it later.
        PostMessageW(hiddenOwner_, WM_CLOSE, 0, 0);
        hiddenOwner_ = nullptr;
    }
}

HWND Window::CreateFrame(HWND owner, const ShowOptions& options, const TextBlock& className) {
    SetBackgroundColour(GetSysColor(COLOR_BTNFACE), false);
    const HWND hwnd =
        CreateControlWindow(owner, options.extendedStyle, className, options.title, options.style,
                            options.x, options.y, options.width, options.height, nullptr, nullptr);
    if (hwnd && owner) {
        for (WPARAM size : {ICON_SMALL, ICON_BIG}) {
            const LRESULT icon = SendMessageW(owner, WM_GETICON, size, 0);
            SendMessageW(hwnd, WM_SETICON, size, icon);
        }
    }
    return hwnd;
}

HWND Window::Show(const ShowOptions& options) {
    const TextBlock libraryClass = ToUtf16(Text("WTWindow"));
    const TextBlock& windowClass = options.className && options.className->WideLength() != 0
                                       ? *options.className
                                       : libraryClass;
    RegisterWindowClass(windowClass);

    events_.create = options.onCreate;
    HWND owner = options.parent;
    if (!options.parent && !options.showInTaskbar) {
        owner = CreateWindowExW(0, windowClass.Wide(), L"ShowTaskbar", 0, 0, 0, 250, 110, nullptr,
                                nullptr, LibraryInstance, nullptr);
    }
    const HWND hwnd = CreateFrame(owner, options, windowClass);
    if (!hwnd) {
        if (owner && owner != options.parent)
            DestroyWindow(owner);
        return nullptr;
    }
    if (owner != options.parent)
        hiddenOwner_ = owner;

    SendMessageW(hwnd, kCreateMessage, 0, 0);
    if (options.visible) {
        ShowWindow(hwnd, SW_SHOW);
        UpdateWindow(hwnd);
    }
    if (options.modal) {
        const HWND parent = options.parent;
        const bool disablesParent = parent && IsWindow(parent);
        if (disablesParent)
            EnableWindow(parent, FALSE);
        RunModalLoop(hwnd, options.accelerators);
        if (disablesParent && IsWindow(parent)) {
            EnableWindow(parent, TRUE);
            SetActiveWindow(parent);
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
    return events_.menuCommand = std::move(handler);
}
EventHandler Window::SetSystemCommandHandler(EventHandler handler) {
    return events_.systemCommand = std::move(handler);
}
EventHandler Window::SetDestroyHandler(EventHandler handler) {
    return events_.destroy = std::move(handler);
}
EventHandler Window::SetMoveHandler(EventHandler handler) {
    return events_.move = std::move(handler);
}
EventHandler Window::SetSizeHandler(EventHandler handler) {
    return events_.size = std::move(handler);
}
EventHandler Window::SetActivateHandler(EventHandler handler) {
    return events_.activate = std::move(handler);
}
EventHandler Window::SetDeactivateHandler(EventHandler handler) {
    return events_.deactivate = std::move(handler);
}
EventHandler Window::SetFirstActivateHandler(EventHandler handler) {
    return events_.firstActivate = std::move(handler);
}
EventHandler Window::SetShowHandler(EventHandler handler) {
    return events_.show = std::move(handler);
}
EventHandler Window::SetHideHandler(EventHandler handler) {
    return events_.hide = std::move(handler);
}
EventHandler Window::SetTrayEventHandler(EventHandler handler) {
    return events_.trayEvent = std::move(handler);
}
EventHandler Window::SetHotkeyHandler(EventHandler handler) {
    return events_.hotkey = std::move(handler);
}
EventHandler Window::SetDpiChangeHandler(EventHandler handler) {
    return events_.dpiChange = std::move(handler);
}
EventHandler Window::SetPressHandler(EventHandler handler) {
    return events_.press = std::move(handler);
}
EventHandler Window::SetCloseHandler(EventHandler handler) {
    return events_.close = std::move(handler);
}
