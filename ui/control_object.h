// ControlObject: the library's wrapper of one native window. It holds the window handle,
// the window procedure it replaced, a cursor and the base event handlers; its virtual
// functions are its method table, declared in slot order. The window classes (Window,
// the list view, the text controls) derive from it, repeat these slots and append their
// own.
//
// Every message of an attached window passes through SubclassProc, which finds the
// object in the WindowRegistry and calls its CommonWindowProc. Notifications that the
// window system sends to a parent (WM_COMMAND, WM_NOTIFY, WM_CTLCOLOR*, WM_DRAWITEM,
// scroll bars) are reflected there to the child's own object.
#pragma once

#include <windows.h>

#include <cstdint>
#include <memory>
#include <optional>

#include "runtime/text.h"
#include "ui/event_handler.h"

// Process-wide control identifier counter: 500 after start-up; every control creation
// increments it and takes the new value.
extern int32_t ControlIdCounter;
// The module instance used by every window creation of the library.
extern HINSTANCE LibraryInstance;

// The keyboard state for input events: 1 Ctrl, 2 Shift, 4 Alt (ORed).
int32_t ModifierMask();

// The window procedure installed on every attached window.
LRESULT CALLBACK SubclassProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

class ControlObject {
  public:
    ControlObject() = default;

    // ---- library hooks, slots 0 to 31 ----
    // 0: destruction; detaches from the current window (Dispose). A derived class whose
    // Reset releases something calls DetachFromWindow() in its own destructor, since
    // only there does the call still reach its Reset.
    virtual ~ControlObject();
    // 1: a memberwise copy of the whole record.
    virtual std::unique_ptr<ControlObject> Clone() const;
    // 2: the message handling of every attached window, see the class comment.
    virtual LRESULT CommonWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    // 3: called by the class window procedure of the library's own class; controls: DefWindowProcW.
    virtual LRESULT HandleMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    // 4 to 6: reserved (0, DefMDIChildProcW, DefWindowProcW).
    virtual LRESULT ReservedHook4();
    virtual LRESULT ReservedHook5(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    virtual LRESULT ReservedHook6(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    // 7: WM_COMMAND reflected from the parent; the result, when nonzero, answers the message.
    virtual LRESULT CommandHook(HWND parent, HWND child, int32_t notificationCode,
                                int32_t controlId);
    // 8: WM_NOTIFY reflected from the parent.
    virtual LRESULT NotificationHook(HWND parent, HWND sender, int32_t code, UINT_PTR senderId,
                                     LPARAM lParam);
    // 9: WM_CTLCOLOR* reflected from the parent; a nonzero result is the brush.
    virtual LRESULT ColourHook(HWND child, HDC dc);
    // 10: WM_SETCURSOR; its result answers the message. The base hook shows the object's
    // cursor over its client area and otherwise hands the message to the previous procedure.
    virtual LRESULT CursorHook(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    // 11: WM_PAINT.
    virtual LRESULT PaintHook(HWND hwnd);
    // 12: WM_ERASEBKGND.
    virtual LRESULT EraseHook(HWND hwnd, HDC dc);
    // 13: WM_HSCROLL / WM_VSCROLL reflected from the parent.
    virtual LRESULT ScrollHook(int32_t request, int32_t position, LPARAM scrollBar);
    // 14: WM_MOUSEMOVE; arms leave tracking and raises OnMouseEnter.
    virtual LRESULT MouseMoveHook(HWND hwnd, int32_t x, int32_t y);
    // 15: WM_DRAWITEM reflected from the parent.
    virtual LRESULT DrawItemHook(WPARAM wParam, LPARAM lParam);
    // 16: WM_MOUSELEAVE.
    virtual LRESULT MouseLeaveHook(HWND hwnd);
    // 17: WM_LBUTTONDOWN.
    virtual LRESULT LeftDownHook(HWND hwnd, LPARAM lParam);
    // 18: WM_LBUTTONDBLCLK.
    virtual LRESULT LeftDoubleClickHook(HWND hwnd, LPARAM lParam);
    // 19: WM_KEYDOWN.
    virtual LRESULT KeyDownHook(HWND hwnd, WPARAM virtualKey);
    // 20: WM_MOVING.
    virtual LRESULT MovingHook(HWND hwnd, LPARAM lParam);
    // 21: WM_MOVE.
    virtual LRESULT MoveHook(HWND hwnd, int32_t x, int32_t y);
    // 22: reserved.
    virtual LRESULT ReservedHook22();
    // 23: WM_LBUTTONUP.
    virtual LRESULT LeftUpHook(HWND hwnd, LPARAM lParam);
    // 24: reserved.
    virtual void ReservedHook24();
    // 25: WM_SIZE.
    virtual void SizeHook(int32_t width, int32_t height);
    // 26: releases what the class holds for its window; run by Detach.
    virtual void Reset(HWND hwnd);
    // 27: reset, un-subclass, remove from the registry, zero the base record (WM_NCDESTROY).
    // Only the object that the registry holds for hwnd touches the window; an object that
    // merely carries the handle (a clone, SetWindowField) just forgets it.
    virtual void Detach(HWND hwnd);
    // 28: creates, registers and subclasses the native window; 0 when the object already
    // has one or creation fails. WS_CLIPSIBLINGS is added to the style.
    virtual HWND CreateControlWindow(HWND parent, DWORD extendedStyle, const TextBlock& className,
                                     const TextBlock* title, DWORD style, int32_t x, int32_t y,
                                     int32_t width, int32_t height, HMENU menuOrId,
                                     LPVOID creationParameter);
    // 29: Detach with the object's own window.
    virtual void DetachFromWindow();
    // 30: attaches a dialog's item; 0 when the object already has a window or the item is missing.
    virtual HWND AttachDialogItem(HWND dialog, int32_t itemId, bool setFont);
    // 31: attaches an existing window; 0 when already attached or hwnd is not a window.
    virtual HWND AttachWindow(HWND hwnd);

    // ---- shared window operations, slots 32 to 80 ----
    virtual HWND Handle() const;                                          // 32
    virtual TextBlock ClassName() const;                                  // 33
    virtual LONG ControlId() const;                                       // 34
    virtual int32_t Exists() const;                                       // 35
    virtual void Close();                                                 // 36
    virtual HWND Focus();                                                 // 37
    virtual int32_t HasFocus() const;                                     // 38
    virtual RECT ClientRectangle() const;                                 // 39
    virtual RECT RectangleInParent() const;                               // 40
    virtual void SuspendRedraw();                                         // 41
    virtual void ResumeRedraw();                                          // 42
    virtual BOOL Invalidate(bool erase);                                  // 43
    virtual BOOL InvalidateRectangle(const RECT& rectangle, bool erase);  // 44
    virtual BOOL Validate();                                              // 45
    virtual BOOL Update();                                                // 46
    virtual BOOL Move(std::optional<int32_t> x = std::nullopt,
                      std::optional<int32_t> y = std::nullopt,
                      std::optional<int32_t> width = std::nullopt,
                      std::optional<int32_t> height = std::nullopt, bool repaint = true);  // 47
    // 48 to 51: with a value, move that edge or size (result: MoveWindow's); without, read it.
    virtual int32_t Left(std::optional<int32_t> value = std::nullopt, bool repaint = true);
    virtual int32_t Top(std::optional<int32_t> value = std::nullopt, bool repaint = true);
    virtual int32_t Width(std::optional<int32_t> value = std::nullopt, bool repaint = true);
    virtual int32_t Height(std::optional<int32_t> value = std::nullopt, bool repaint = true);
    virtual BOOL ZOrder(std::optional<int32_t> position = std::nullopt);  // 52
    virtual LRESULT Send(UINT message, WPARAM wParam, LPARAM lParam);     // 53
    virtual BOOL Post(UINT message, WPARAM wParam, LPARAM lParam);        // 54
    virtual HWND SetParentWindow(HWND parent);                            // 55
    virtual HWND ParentWindow() const;                                    // 56
    virtual int32_t Visible(std::optional<bool> value = std::nullopt);    // 57
    virtual int32_t Disabled(std::optional<bool> value = std::nullopt);   // 58
    virtual LONG Style() const;                                           // 59
    virtual LONG AddStyle(LONG bits);                                     // 60
    virtual LONG RemoveStyle(LONG bits);                                  // 61
    virtual LONG ExtendedWindowStyle() const;                             // 62
    virtual LONG AddExtendedWindowStyle(LONG bits);                       // 63
    virtual LONG RemoveExtendedWindowStyle(LONG bits);                    // 64
    virtual TextBlock WindowText() const;                                 // 65
    virtual int32_t ChangeWindowText(const TextBlock& text);              // 66
    virtual void SetWindowField(HWND hwnd);                               // 67
    // 68: MessageBoxW owned by the window; the button code minus 1. Caption default "信息：".
    virtual int32_t ShowMessageBox(const TextBlock& text, UINT type,
                                   const TextBlock* caption = nullptr);
    virtual int32_t SetProperty(const TextBlock& name, HANDLE value);      // 69
    virtual HANDLE Property(const TextBlock& name) const;                  // 70
    virtual int32_t RemoveProperty(const TextBlock& name);                 // 71
    virtual HCURSOR Cursor(std::optional<HCURSOR> cursor = std::nullopt);  // 72
    virtual LRESULT SetFont(HFONT font);                                   // 73
    virtual HFONT Font() const;                                            // 74
    virtual int32_t SetShape(HRGN region);                                 // 75
    virtual int32_t ShapeFromBitmap(HBITMAP bitmap, COLORREF transparent = 0xFFFFFF,
                                    bool redraw = true);                   // 76
    virtual int32_t RoundedCorners(int32_t diameter, bool redraw = true);  // 77
    virtual void AcceptDroppedFiles(bool accept);                          // 78
    virtual HICON ClassIcon(std::optional<HICON> icon = std::nullopt,
                            std::optional<bool> large = std::nullopt);          // 79
    virtual HCURSOR ClassCursor(std::optional<HCURSOR> cursor = std::nullopt);  // 80

    // ---- base event registrations, slots 81 to 96: store the handler, return it ----
    virtual EventHandler SetLeftDownHandler(EventHandler handler);         // 81
    virtual EventHandler SetLeftUpHandler(EventHandler handler);           // 82
    virtual EventHandler SetLeftDoubleClickHandler(EventHandler handler);  // 83
    virtual EventHandler SetRightDownHandler(EventHandler handler);        // 84
    virtual EventHandler SetRightUpHandler(EventHandler handler);          // 85
    virtual EventHandler SetMouseMoveHandler(EventHandler handler);        // 86
    virtual EventHandler SetGotFocusHandler(EventHandler handler);         // 87
    virtual EventHandler SetLostFocusHandler(EventHandler handler);        // 88
    virtual EventHandler SetKeyDownHandler(EventHandler handler);          // 89
    virtual EventHandler SetKeyUpHandler(EventHandler handler);            // 90
    virtual EventHandler SetMouseWheelHandler(EventHandler handler);       // 91 (wheel before char)
    virtual EventHandler SetCharHandler(EventHandler handler);             // 92
    virtual EventHandler SetDropFilesHandler(EventHandler handler);        // 93
    virtual EventHandler SetMouseEnterHandler(EventHandler handler);       // 94
    virtual EventHandler SetMouseLeaveHandler(EventHandler handler);       // 95
    virtual EventHandler SetPaintHandler(EventHandler handler);            // 96

  protected:
    ControlObject(const ControlObject&) = default;
    ControlObject& operator=(const ControlObject&) = default;

    // Registers hwnd for this object and subclasses it; false when another object
    // already holds it.
    bool Attach(HWND hwnd);
    // Hands the message to the procedure that SubclassProc replaced (DefWindowProcW when
    // the object no longer holds hwnd, for example after a handler destroyed the window).
    LRESULT DefaultProcessing(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    // Zeroes the base record (window, previous procedure, cursor, handlers, flag).
    void ClearBaseRecord();

    // The base record; Detach zeroes all of it.
    HWND window_ = nullptr;
    WNDPROC previousProcedure_ = nullptr;
    HCURSOR cursor_ = nullptr;
    EventHandler onLeftDown_;
    EventHandler onLeftUp_;
    EventHandler onLeftDoubleClick_;
    EventHandler onRightDown_;
    EventHandler onRightUp_;
    EventHandler onMouseMove_;
    EventHandler onGotFocus_;
    EventHandler onLostFocus_;
    EventHandler onKeyDown_;
    EventHandler onKeyUp_;
    EventHandler onChar_;
    EventHandler onMouseWheel_;
    EventHandler onDropFiles_;
    EventHandler onMouseEnter_;
    EventHandler onMouseLeave_;
    int32_t pointerInside_ = 0;
    EventHandler onPaint_;
};
