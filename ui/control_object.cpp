#include "ui/control_object.h"

#include <commctrl.h>
#include <shellapi.h>

#include <new>
#include <string>

#include "runtime/heap.h"
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

LRESULT CALLBACK SubclassProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    try {
        ControlObject* object = WindowRegistry::Find(hwnd);
        if (!object)
            return DefWindowProcW(hwnd, message, wParam, lParam);
        return object->CommonWindowProc(hwnd, message, wParam, lParam);
    } catch (const std::bad_alloc&) {
        ReportOutOfMemory();  // a container could not grow: the same end as any allocation
    } catch (...) {
        // Nothing may unwind into the window system.
        return 0;
    }
}

ControlObject::~ControlObject() {
    DetachFromWindow();
}

std::unique_ptr<ControlObject> ControlObject::Clone() const {
    return std::unique_ptr<ControlObject>(new ControlObject(*this));
}

LRESULT ControlObject::DefaultProcessing(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (window_ != hwnd || !previousProcedure_)
        return DefWindowProcW(hwnd, message, wParam, lParam);
    return CallWindowProcW(previousProcedure_, hwnd, message, wParam, lParam);
}

LRESULT ControlObject::CommonWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
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
            result = onLeftDown_(MouseX(lParam), MouseY(lParam), ModifierMask());
            if (result)
                return result;
            break;
        case WM_LBUTTONUP:
            LeftUpHook(hwnd, lParam);
            result = onLeftUp_(MouseX(lParam), MouseY(lParam), ModifierMask());
            if (result)
                return result;
            break;
        case WM_LBUTTONDBLCLK:
            LeftDoubleClickHook(hwnd, lParam);
            result = onLeftDoubleClick_(MouseX(lParam), MouseY(lParam), ModifierMask());
            if (result)
                return result;
            break;
        case WM_RBUTTONDOWN:
            result = onRightDown_(MouseX(lParam), MouseY(lParam), ModifierMask());
            if (result)
                return result;
            break;
        case WM_RBUTTONUP:
            result = onRightUp_(MouseX(lParam), MouseY(lParam), ModifierMask());
            if (result)
                return result;
            break;
        case WM_MOUSEMOVE:
            if (MouseMoveHook(hwnd, static_cast<int32_t>(MouseX(lParam)),
                              static_cast<int32_t>(MouseY(lParam))))
                return 0;
            result = onMouseMove_(MouseX(lParam), MouseY(lParam), ModifierMask());
            if (result)
                return result;
            break;
        case WM_SETFOCUS:
            onGotFocus_();
            break;
        case WM_KILLFOCUS:
            onLostFocus_();
            break;
        case WM_KEYDOWN:
            KeyDownHook(hwnd, wParam);
            result = onKeyDown_(static_cast<intptr_t>(wParam), ModifierMask());
            if (result)
                return result;
            break;
        case WM_KEYUP:
            result = onKeyUp_(static_cast<intptr_t>(wParam), ModifierMask());
            if (result)
                return result;
            break;
        case WM_CHAR:
            result = onChar_(static_cast<intptr_t>(wParam));
            if (result)
                return result;
            break;
        case WM_MOUSEWHEEL:
            onMouseWheel_(static_cast<int16_t>(HIWORD(wParam)), ModifierMask());
            break;
        case WM_SETCURSOR:
            // The hook has already handed an unanswered request to the previous
            // procedure; a second pass would ask every ancestor again, twice per level.
            return CursorHook(hwnd, message, wParam, lParam);
        case WM_PAINT:
            if (onPaint_) {
                PAINTSTRUCT paint;
                const HDC dc = BeginPaint(hwnd, &paint);
                result = onPaint_(reinterpret_cast<intptr_t>(dc), paint.rcPaint.left,
                                  paint.rcPaint.top, paint.rcPaint.right, paint.rcPaint.bottom);
                EndPaint(hwnd, &paint);
                if (result)
                    return 0;
            }
            if (PaintHook(hwnd))
                return 0;
            break;
        case WM_ERASEBKGND:
            if (EraseHook(hwnd, reinterpret_cast<HDC>(wParam)))
                return 0;
            break;
        case WM_HSCROLL:
        case WM_VSCROLL:
            if (ControlObject* child = WindowRegistry::Find(reinterpret_cast<HWND>(lParam))) {
                result =
                    child->ScrollHook(LOWORD(wParam), static_cast<int16_t>(HIWORD(wParam)), lParam);
                if (result)
                    return result;
            }
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
        case WM_DRAWITEM:
            if (lParam) {
                const DRAWITEMSTRUCT item = *reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
                if (ControlObject* child = WindowRegistry::Find(item.hwndItem)) {
                    result = child->DrawItemHook(wParam, lParam);
                    if (result)
                        return result;
                }
            }
            break;
        case WM_DROPFILES:
            if (onDropFiles_) {
                const HDROP drop = reinterpret_cast<HDROP>(wParam);
                const TextBlock list = DroppedFileList(drop);
                DragFinish(drop);
                onDropFiles_(reinterpret_cast<intptr_t>(&list));
            }
            break;
        case WM_MOUSELEAVE:
            if (MouseLeaveHook(hwnd))
                return 0;
            break;
        case WM_MOVING:
            if (MovingHook(hwnd, lParam))
                return 0;
            break;
        case WM_MOVE:
            if (MoveHook(hwnd, static_cast<int32_t>(MouseX(lParam)),
                         static_cast<int32_t>(MouseY(lParam))))
                return 0;
            break;
        case WM_SIZE:
            SizeHook(LOWORD(lParam), static_cast<int16_t>(HIWORD(lParam)));
            break;
        default:
            break;
    }
    return DefaultProcessing(hwnd, message, wParam, lParam);
}

LRESULT ControlObject::HandleMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    return DefWindowProcW(hwnd, message, wParam, lParam);
}

LRESULT ControlObject::ReservedHook4() {
    return 0;
}

LRESULT ControlObject::ReservedHook5(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    return DefMDIChildProcW(hwnd, message, wParam, lParam);
}

LRESULT ControlObject::ReservedHook6(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    return DefWindowProcW(hwnd, message, wParam, lParam);
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

LRESULT ControlObject::CursorHook(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (cursor_ && LOWORD(lParam) == HTCLIENT && reinterpret_cast<HWND>(wParam) == window_) {
        // Handled whether or not a cursor was shown before, so the class cursor does not
        // replace it again.
        SetCursor(cursor_);
        return TRUE;
    }
    return DefaultProcessing(hwnd, message, wParam, lParam);
}

LRESULT ControlObject::PaintHook(HWND) {
    return 0;
}

LRESULT ControlObject::EraseHook(HWND, HDC) {
    return 0;
}

LRESULT ControlObject::ScrollHook(int32_t, int32_t, LPARAM) {
    return 0;
}

LRESULT ControlObject::MouseMoveHook(HWND, int32_t, int32_t) {
    if (pointerInside_)
        return 0;
    pointerInside_ = 1;
    TRACKMOUSEEVENT track{};
    track.cbSize = sizeof(track);
    track.dwFlags = TME_LEAVE;
    track.hwndTrack = window_;
    TrackMouseEvent(&track);
    return onMouseEnter_ ? onMouseEnter_() : 0;
}

LRESULT ControlObject::DrawItemHook(WPARAM, LPARAM) {
    return 0;
}

LRESULT ControlObject::MouseLeaveHook(HWND) {
    pointerInside_ = 0;
    return onMouseLeave_ ? onMouseLeave_() : 0;
}

LRESULT ControlObject::LeftDownHook(HWND, LPARAM) {
    return 0;
}

LRESULT ControlObject::LeftDoubleClickHook(HWND, LPARAM) {
    return 0;
}

LRESULT ControlObject::KeyDownHook(HWND, WPARAM) {
    return 0;
}

LRESULT ControlObject::MovingHook(HWND, LPARAM) {
    return 0;
}

LRESULT ControlObject::MoveHook(HWND, int32_t, int32_t) {
    return 0;
}

LRESULT ControlObject::ReservedHook22() {
    return 0;
}

LRESULT ControlObject::LeftUpHook(HWND, LPARAM) {
    return 0;
}

void ControlObject::ReservedHook24() {}

void ControlObject::SizeHook(int32_t, int32_t) {}

void ControlObject::Reset(HWND) {}

void ControlObject::ClearBaseRecord() {
    window_ = nullptr;
    previousProcedure_ = nullptr;
    cursor_ = nullptr;
    onLeftDown_ = nullptr;
    onLeftUp_ = nullptr;
    onLeftDoubleClick_ = nullptr;
    onRightDown_ = nullptr;
    onRightUp_ = nullptr;
    onMouseMove_ = nullptr;
    onGotFocus_ = nullptr;
    onLostFocus_ = nullptr;
    onKeyDown_ = nullptr;
    onKeyUp_ = nullptr;
    onChar_ = nullptr;
    onMouseWheel_ = nullptr;
    onDropFiles_ = nullptr;
    onMouseEnter_ = nullptr;
    onMouseLeave_ = nullptr;
    pointerInside_ = 0;
    onPaint_ = nullptr;
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
    if (GetWindowLongPtrW(hwnd, GWLP_WNDPROC) != reinterpret_cast<LONG_PTR>(&SubclassProc)) {
        previousProcedure_ = reinterpret_cast<WNDPROC>(
            SetWindowLongPtrW(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&SubclassProc)));
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
    return onLeftDown_ = handler;
}
EventHandler ControlObject::SetLeftUpHandler(EventHandler handler) {
    return onLeftUp_ = handler;
}
EventHandler ControlObject::SetLeftDoubleClickHandler(EventHandler handler) {
    return onLeftDoubleClick_ = handler;
}
EventHandler ControlObject::SetRightDownHandler(EventHandler handler) {
    return onRightDown_ = handler;
}
EventHandler ControlObject::SetRightUpHandler(EventHandler handler) {
    return onRightUp_ = handler;
}
EventHandler ControlObject::SetMouseMoveHandler(EventHandler handler) {
    return onMouseMove_ = handler;
}
EventHandler ControlObject::SetGotFocusHandler(EventHandler handler) {
    return onGotFocus_ = handler;
}
EventHandler ControlObject::SetLostFocusHandler(EventHandler handler) {
    return onLostFocus_ = handler;
}
EventHandler ControlObject::SetKeyDownHandler(EventHandler handler) {
    return onKeyDown_ = handler;
}
EventHandler ControlObject::SetKeyUpHandler(EventHandler handler) {
    return onKeyUp_ = handler;
}
EventHandler ControlObject::SetMouseWheelHandler(EventHandler handler) {
    return onMouseWheel_ = handler;
}
EventHandler ControlObject::SetCharHandler(EventHandler handler) {
    return onChar_ = handler;
}
EventHandler ControlObject::SetDropFilesHandler(EventHandler handler) {
    return onDropFiles_ = handler;
}
EventHandler ControlObject::SetMouseEnterHandler(EventHandler handler) {
    return onMouseEnter_ = handler;
}
EventHandler ControlObject::SetMouseLeaveHandler(EventHandler handler) {
    return onMouseLeave_ = handler;
}
EventHandler ControlObject::SetPaintHandler(EventHandler handler) {
    return onPaint_ = handler;
}
