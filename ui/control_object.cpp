#include "ui/control_object.h"

#include <commctrl.h>
#include <shellapi.h>

#include <string>

#include "runtime/guard.h"
#include "ui/window_registry.h"

namespace {

// Mouse coordinates of a message: x unsigned, y signed (as the platform packs them).
intptr_t MouseX(LPARAM lParam) {
    return LOWORD(lParam);
}
intptr_t MouseY(LPARAM lParam) {
    return static_cast<int16_t>(HIWORD(lParam));
}

HFONT DefaultGuiFont() {
    return static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
}

// The paths of a drop, separated by "\r\n" (no break after the last one).
TextBlock DroppedFileList(HDROP drop) {
    const UINT count = DragQueryFileW(drop, 0xFFFFFFFF, nullptr, 0);
    std::wstring list;
    for (UINT i = 0; i < count; ++i) {
        // Sized from the path itself, so long paths arrive whole.
        const UINT length = DragQueryFileW(drop, i, nullptr, 0);
        std::wstring path(static_cast<size_t>(length) + 1, L'\0');
        const UINT copied = DragQueryFileW(drop, i, path.data(), length + 1);
        path.resize(copied);
        list += path;
        if (i + 1 < count)
            list += L"\r\n";
    }
    return TextBlock::FromWide(list);
}

}  // namespace

int32_t ModifierMask() {
    int32_t mask = 0;
    if (GetAsyncKeyState(VK_CONTROL) & 0x8000)
        mask |= 1;
    if (GetAsyncKeyState(VK_SHIFT) & 0x8000)
        mask |= 2;
    if (GetAsyncKeyState(VK_MENU) & 0x8000)
        mask |= 4;
    return mask;
}

LRESULT CALLBACK ControlObject::WndProc(HWND hwnd, UINT message, WPARAM wParam,
                                        LPARAM lParam) noexcept {
    ControlObject* object = WindowRegistry::Find(hwnd);
    if (!object)
        return DefWindowProcW(hwnd, message, wParam, lParam);
    return object->MessageHandler(hwnd, message, wParam, lParam);
}

LRESULT ControlObject::MessageHandler(HWND hwnd, UINT message, WPARAM wParam,
                                      LPARAM lParam) noexcept {
    return RunGuarded([&] { return RouteMessage(hwnd, message, wParam, lParam); });
}

ControlObject::~ControlObject() {
    DetachFromWindow();
}

ControlObject::ControlObject(const ControlObject& other)
    : window_(other.window_),
      previousProcedure_(other.previousProcedure_),
      on_(other.on_),
      pointerInside_(other.pointerInside_) {}

std::unique_ptr<ControlObject> ControlObject::Clone() const {
    return std::unique_ptr<ControlObject>(new ControlObject(*this));
}

LRESULT ControlObject::DefaultProcessing(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (window_ != hwnd || !previousProcedure_)
        return DefWindowProcW(hwnd, message, wParam, lParam);
    return CallWindowProcW(previousProcedure_, hwnd, message, wParam, lParam);
}

LRESULT ControlObject::RouteMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    LRESULT result = 0;
    switch (message) {
        case WM_NCDESTROY: {
            // The procedure to finish with is the one Detach puts back.
            const WNDPROC previous = window_ == hwnd ? previousProcedure_ : nullptr;
            Detach(hwnd);
            if (!previous)
                return DefWindowProcW(hwnd, message, wParam, lParam);
            return CallWindowProcW(previous, hwnd, message, wParam, lParam);
        }
        case WM_LBUTTONDOWN:
            LeftDownHook(hwnd, lParam);
            result = on_.leftDown(MouseX(lParam), MouseY(lParam), ModifierMask());
            if (result)
                return result;
            break;
        case WM_LBUTTONUP:
            result = on_.leftUp(MouseX(lParam), MouseY(lParam), ModifierMask());
            if (result)
                return result;
            break;
        case WM_LBUTTONDBLCLK:
            result = on_.leftDoubleClick(MouseX(lParam), MouseY(lParam), ModifierMask());
            if (result)
                return result;
            break;
        case WM_RBUTTONDOWN:
            result = on_.rightDown(MouseX(lParam), MouseY(lParam), ModifierMask());
            if (result)
                return result;
            break;
        case WM_RBUTTONUP:
            result = on_.rightUp(MouseX(lParam), MouseY(lParam), ModifierMask());
            if (result)
                return result;
            break;
        case WM_MOUSEMOVE:
            if (TrackMouseEnter())
                return 0;
            result = on_.mouseMove(MouseX(lParam), MouseY(lParam), ModifierMask());
            if (result)
                return result;
            break;
        case WM_SETFOCUS:
            on_.gotFocus();
            break;
        case WM_KILLFOCUS:
            on_.lostFocus();
            break;
        case WM_KEYDOWN:
            result = on_.keyDown(static_cast<intptr_t>(wParam), ModifierMask());
            if (result)
                return result;
            break;
        case WM_KEYUP:
            result = on_.keyUp(static_cast<intptr_t>(wParam), ModifierMask());
            if (result)
                return result;
            break;
        case WM_CHAR:
            result = on_.character(static_cast<intptr_t>(wParam));
            if (result)
                return result;
            break;
        case WM_MOUSEWHEEL:
            on_.mouseWheel(static_cast<int16_t>(HIWORD(wParam)), ModifierMask());
            break;
        case WM_SETCURSOR:
            // The hook has already handed an unanswered request to the previous
            // procedure; a second pass would ask every ancestor again, twice per level.
            return ShowOwnCursor(hwnd, message, wParam, lParam);
        case WM_PAINT:
            if (on_.paint) {
                PAINTSTRUCT paint;
                const HDC dc = BeginPaint(hwnd, &paint);
                result = on_.paint(reinterpret_cast<intptr_t>(dc), paint.rcPaint.left,
                                   paint.rcPaint.top, paint.rcPaint.right, paint.rcPaint.bottom);
                EndPaint(hwnd, &paint);
                if (result)
                    return 0;
            }
            break;
        case WM_ERASEBKGND:
            if (EraseHook(hwnd, reinterpret_cast<HDC>(wParam)))
                return 0;
            break;
        case WM_COMMAND:
            if (ControlObject* child = WindowRegistry::Find(reinterpret_cast<HWND>(lParam))) {
                result = child->CommandHook(hwnd, reinterpret_cast<HWND>(lParam),
                                            static_cast<int16_t>(HIWORD(wParam)), LOWORD(wParam));
                if (result)
                    return result;
            }
            break;
        case WM_NOTIFY:
            if (lParam) {
                const NMHDR header = *reinterpret_cast<const NMHDR*>(lParam);
                const int32_t code = static_cast<int32_t>(header.code);
                // Tooltips ask the window that owns the tool for their text.
                const HWND target =
                    code == static_cast<int32_t>(TTN_GETDISPINFOW) ? hwnd : header.hwndFrom;
                if (ControlObject* found = WindowRegistry::Find(target)) {
                    result =
                        found->NotificationHook(hwnd, header.hwndFrom, code, header.idFrom, lParam);
                    if (result)
                        return result;
                }
            }
            break;
        case WM_CTLCOLORMSGBOX:
        case WM_CTLCOLOREDIT:
        case WM_CTLCOLORLISTBOX:
        case WM_CTLCOLORBTN:
        case WM_CTLCOLORDLG:
        case WM_CTLCOLORSCROLLBAR:
        case WM_CTLCOLORSTATIC:
            if (ControlObject* child = WindowRegistry::Find(reinterpret_cast<HWND>(lParam))) {
                result = child->ColourHook(reinterpret_cast<HWND>(lParam),
                                           reinterpret_cast<HDC>(wParam));
                if (result)
                    return result;
            }
            break;
        case WM_DROPFILES:
            if (on_.dropFiles) {
                const HDROP drop = reinterpret_cast<HDROP>(wParam);
                const TextBlock list = DroppedFileList(drop);
                DragFinish(drop);
                on_.dropFiles(reinterpret_cast<intptr_t>(&list));
            }
            break;
        case WM_MOUSELEAVE:
            pointerInside_ = false;
            if (on_.mouseLeave())
                return 0;
            break;
        default:
            break;
    }
    return DefaultProcessing(hwnd, message, wParam, lParam);
}

LRESULT ControlObject::CommandHook(HWND, HWND, int32_t, int32_t) {
    return 0;
}

LRESULT ControlObject::NotificationHook(HWND, HWND, int32_t, UINT_PTR, LPARAM) {
    return 0;
}

LRESULT ControlObject::ColourHook(HWND, HDC) {
    return 0;
}

LRESULT ControlObject::EraseHook(HWND, HDC) {
    return 0;
}

LRESULT ControlObject::LeftDownHook(HWND, LPARAM) {
    return 0;
}

void ControlObject::Reset(HWND) {}

LRESULT ControlObject::ShowOwnCursor(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (cursor_ && LOWORD(lParam) == HTCLIENT && reinterpret_cast<HWND>(wParam) == window_) {
        // Handled whether or not a cursor was shown before, so the class cursor does not
        // replace it again.
        ::SetCursor(cursor_.Get());
        return TRUE;
    }
    return DefaultProcessing(hwnd, message, wParam, lParam);
}

LRESULT ControlObject::TrackMouseEnter() {
    if (pointerInside_)
        return 0;
    pointerInside_ = true;
    TRACKMOUSEEVENT track{};
    track.cbSize = sizeof(track);
    track.dwFlags = TME_LEAVE;
    track.hwndTrack = window_;
    TrackMouseEvent(&track);
    return on_.mouseEnter();
}

void ControlObject::ClearBaseRecord() {
    window_ = nullptr;
    previousProcedure_ = nullptr;
    cursor_.Reset();
    on_ = {};
    pointerInside_ = false;
}

void ControlObject::Detach(HWND hwnd) {
    if (!hwnd)
        return;
    if (WindowRegistry::Find(hwnd) == this) {
        Reset(hwnd);
        if (previousProcedure_)
            SetWindowLongPtrW(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(previousProcedure_));
        WindowRegistry::Remove(hwnd);
    } else if (hwnd != window_) {
        return;
    }
    ClearBaseRecord();
}

bool ControlObject::Attach(HWND hwnd) {
    if (WindowRegistry::Find(hwnd))
        return false;
    window_ = hwnd;
    WindowRegistry::Add(hwnd, this);
    if (GetWindowLongPtrW(hwnd, GWLP_WNDPROC) != reinterpret_cast<LONG_PTR>(&WndProc)) {
        previousProcedure_ = reinterpret_cast<WNDPROC>(
            SetWindowLongPtrW(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&WndProc)));
    }
    return true;
}

HWND ControlObject::CreateControlWindow(HWND parent, DWORD extendedStyle,
                                        const TextBlock& className, const TextBlock* title,
                                        DWORD style, int32_t x, int32_t y, int32_t width,
                                        int32_t height, HMENU menuOrId, LPVOID creationParameter) {
    if (window_)
        return nullptr;
    const HWND hwnd = CreateWindowExW(
        extendedStyle, className.Wide(), title ? title->Wide() : nullptr, style | WS_CLIPSIBLINGS,
        x, y, width, height, parent, menuOrId, LibraryInstance, creationParameter);
    if (!hwnd)
        return nullptr;
    Attach(hwnd);
    SendMessageW(hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(DefaultGuiFont()), 0);
    return hwnd;
}

void ControlObject::DetachFromWindow() {
    Detach(window_);
}

HWND ControlObject::AttachDialogItem(HWND dialog, int32_t itemId, bool setFont) {
    if (window_)
        return nullptr;
    const HWND item = GetDlgItem(dialog, itemId);
    if (!item || !Attach(item))
        return nullptr;
    if (setFont)
        SendMessageW(item, WM_SETFONT, reinterpret_cast<WPARAM>(DefaultGuiFont()), 1);
    return item;
}

HWND ControlObject::AttachWindow(HWND hwnd) {
    if (window_ || !IsWindow(hwnd))
        return nullptr;
    return Attach(hwnd) ? hwnd : nullptr;
}

// ---- event registrations ----

EventHandler ControlObject::SetLeftDownHandler(EventHandler handler) {
    return on_.leftDown = std::move(handler);
}
EventHandler ControlObject::SetLeftUpHandler(EventHandler handler) {
    return on_.leftUp = std::move(handler);
}
EventHandler ControlObject::SetLeftDoubleClickHandler(EventHandler handler) {
    return on_.leftDoubleClick = std::move(handler);
}
EventHandler ControlObject::SetRightDownHandler(EventHandler handler) {
    return on_.rightDown = std::move(handler);
}
EventHandler ControlObject::SetRightUpHandler(EventHandler handler) {
    return on_.rightUp = std::move(handler);
}
EventHandler ControlObject::SetMouseMoveHandler(EventHandler handler) {
    return on_.mouseMove = std::move(handler);
}
EventHandler ControlObject::SetGotFocusHandler(EventHandler handler) {
    return on_.gotFocus = std::move(handler);
}
EventHandler ControlObject::SetLostFocusHandler(EventHandler handler) {
    return on_.lostFocus = std::move(handler);
}
EventHandler ControlObject::SetKeyDownHandler(EventHandler handler) {
    return on_.keyDown = std::move(handler);
}
EventHandler ControlObject::SetKeyUpHandler(EventHandler handler) {
    return on_.keyUp = std::move(handler);
}
EventHandler ControlObject::SetMouseWheelHandler(EventHandler handler) {
    return on_.mouseWheel = std::move(handler);
}
EventHandler ControlObject::SetCharHandler(EventHandler handler) {
    return on_.character = std::move(handler);
}
EventHandler ControlObject::SetDropFilesHandler(EventHandler handler) {
    return on_.dropFiles = std::move(handler);
}
EventHandler ControlObject::SetMouseEnterHandler(EventHandler handler) {
    return on_.mouseEnter = std::move(handler);
}
EventHandler ControlObject::SetMouseLeaveHandler(EventHandler handler) {
    return on_.mouseLeave = std::move(handler);
}
EventHandler ControlObject::SetPaintHandler(EventHandler handler) {
    return on_.paint = std::move(handler);
}
