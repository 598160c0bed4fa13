// ControlObject: the library's wrapper of one native window. It holds the window handle,
// the window procedure it replaced, an optional cursor of its own and the base event
// handlers. The window classes (Window, the list view, the text controls) derive from it
// and override the few hooks below that are virtual.
//
// Every message of an attached window passes through WndProc, which finds the object in
// the WindowRegistry and hands the message to its MessageHandler. Notifications that the
// window system sends to a parent (WM_COMMAND, WM_NOTIFY, WM_CTLCOLOR*) are reflected
// there to the child's own object: one switch, in MessageHandler, reflects them all.
// docs/architecture.md lists which message raises which event.
#pragma once

#include <windows.h>

#include <cstdint>
#include <memory>
#include <optional>

#include "runtime/text.h"
#include "ui/event_handler.h"
#include "ui/unique_handle.h"

// Process-wide control identifier counter: 500 after start-up; every control creation
// without an identifier of its own increments it and takes the new value.
extern int32_t ControlIdCounter;
// A child-window identifier the creator chooses, for the Create overloads that take one:
// the control keeps it wherever and however often it is created, and the counter is left
// as it was.
struct ChildWindowId {
    int32_t value;
};
// The module instance used by every window creation of the library.
extern HINSTANCE LibraryInstance;

// The keyboard state for input events: 1 Ctrl, 2 Shift, 4 Alt (ORed).
int32_t ModifierMask();

class ControlObject {
  public:
    ControlObject() = default;
    // Detaches from the window. A derived class whose Reset releases something calls
    // DetachFromWindow() in its own destructor, since only there does the call still
    // reach its Reset.
    virtual ~ControlObject();
    // A copy of the record that shares the window handle but owns nothing: the cursor
    // and whatever a derived class owns stay with the original.
    virtual std::unique_ptr<ControlObject> Clone() const;

    // The window procedure installed on every attached window.
    static LRESULT CALLBACK WndProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) noexcept;

    // ---- Creation and attachment ----
    // Creates, registers and subclasses the native window; 0 when the object already has
    // one or creation fails. WS_CLIPSIBLINGS is added to the style.
    HWND CreateControlWindow(HWND parent, DWORD extendedStyle, const TextBlock& className,
                             const TextBlock* title, DWORD style, int32_t x, int32_t y,
                             int32_t width, int32_t height, HMENU menuOrId,
                             LPVOID creationParameter);
    // Attaches a dialog's item; 0 when the object already has a window or the item is missing.
    HWND AttachDialogItem(HWND dialog, int32_t itemId, bool setFont);
    // Attaches an existing window; 0 when already attached or hwnd is not a window.
    HWND AttachWindow(HWND hwnd);
    // Releases what the object holds for its window, puts the previous procedure back
    // and forgets the window (also run on WM_NCDESTROY). Only the object that the
    // registry holds for hwnd touches the window; an object that merely carries the
    // handle (a clone, SetWindowField) just forgets it.
    void Detach(HWND hwnd);
    void DetachFromWindow();
    // Makes the object carry a handle without attaching to it.
    void SetWindowField(HWND hwnd);
    HWND Handle() const;
    TextBlock ClassName() const;
    LONG ControlId() const;
    int32_t Exists() const;
    void Close();

    // ---- Geometry ----
    RECT ClientRectangle() const;
    RECT RectangleInParent() const;
    // Moves and sizes the window; an edge or size left out keeps its value.
    BOOL Move(std::optional<int32_t> x = std::nullopt, std::optional<int32_t> y = std::nullopt,
              std::optional<int32_t> width = std::nullopt,
              std::optional<int32_t> height = std::nullopt, bool repaint = true);
    int32_t Left() const;
    int32_t Top() const;
    int32_t Width() const;
    int32_t Height() const;
    // Each moves one edge or changes one size; MoveWindow's result.
    BOOL SetLeft(int32_t left, bool repaint = true);
    BOOL SetTop(int32_t top, bool repaint = true);
    BOOL SetWidth(int32_t width, bool repaint = true);
    BOOL SetHeight(int32_t height, bool repaint = true);
    // 1 top, 2 bottom, 3 topmost, 4 not topmost; anything else top.
    BOOL ZOrder(int32_t position = 1);
    // Shapes: the window takes over the region; a bitmap's opaque parts (pixels other than
    // `transparent`) become the shape and the bitmap is released.
    int32_t SetShape(UniqueRegion&& region);
    int32_t ShapeFromBitmap(UniqueBitmap&& bitmap, COLORREF transparent = 0xFFFFFF,
                            bool redraw = true);
    int32_t RoundedCorners(int32_t diameter, bool redraw = true);

    // ---- Text and font ----
    TextBlock WindowText() const;
    int32_t ChangeWindowText(const TextBlock& text);
    // The font stays the caller's: the window only uses it.
    LRESULT SetFont(HFONT font);
    HFONT Font() const;

    // ---- State and painting ----
    HWND Focus();
    int32_t HasFocus() const;
    int32_t IsVisible() const;
    // ShowWindow's answer: 1 when the window was visible before.
    int32_t SetVisible(bool visible);
    int32_t IsDisabled() const;
    // EnableWindow's answer: 1 when the window was disabled before.
    int32_t SetDisabled(bool disabled);
    void SuspendRedraw();
    void ResumeRedraw();
    BOOL Invalidate(bool erase);
    BOOL InvalidateRectangle(const RECT& rectangle, bool erase);
    BOOL Validate();
    virtual BOOL Update();

    // ---- Styles ----
    LONG Style() const;
    LONG AddStyle(LONG bits);
    LONG RemoveStyle(LONG bits);
    LONG ExtendedWindowStyle() const;
    LONG AddExtendedWindowStyle(LONG bits);
    LONG RemoveExtendedWindowStyle(LONG bits);

    // ---- Messages, parent, properties ----
    LRESULT Send(UINT message, WPARAM wParam, LPARAM lParam);
    BOOL Post(UINT message, WPARAM wParam, LPARAM lParam);
    HWND SetParentWindow(HWND parent);
    HWND ParentWindow() const;
    // MessageBoxW owned by the window; the button code minus 1. Caption default "信息：".
    int32_t ShowMessageBox(const TextBlock& text, UINT type, const TextBlock* caption = nullptr);
    int32_t SetProperty(const TextBlock& name, HANDLE value);
    HANDLE Property(const TextBlock& name) const;
    int32_t RemoveProperty(const TextBlock& name);
    void AcceptDroppedFiles(bool accept);

    // ---- Cursor and class resources ----
    // The cursor shown over the client area; the object owns it from then on.
    HCURSOR Cursor() const;
    void SetCursor(UniqueCursor&& cursor);
    // The class's small (or large) icon and its cursor. They belong to the class, which
    // every window of it shares, so the caller keeps them alive; the setters give the
    // previous one back.
    HICON ClassIcon(bool large = false) const;
    HICON SetClassIcon(HICON icon, bool large = false);
    HCURSOR ClassCursor() const;
    HCURSOR SetClassCursor(HCURSOR cursor);

    // ---- Events: each registration stores the handler and returns it ----
    // (x, y, modifiers) for the mouse buttons and moves, (key, modifiers) for keys,
    // (character) for WM_CHAR, (delta, modifiers) for the wheel, (list of paths, one
    // TextBlock*) for dropped files, (dc, left, top, right, bottom) for painting.
    // A nonzero result of a mouse-button, move or key handler answers the message.
    EventHandler SetLeftDownHandler(EventHandler handler);
    EventHandler SetLeftUpHandler(EventHandler handler);
    EventHandler SetLeftDoubleClickHandler(EventHandler handler);
    EventHandler SetRightDownHandler(EventHandler handler);
    EventHandler SetRightUpHandler(EventHandler handler);
    EventHandler SetMouseMoveHandler(EventHandler handler);
    EventHandler SetMouseEnterHandler(EventHandler handler);
    EventHandler SetMouseLeaveHandler(EventHandler handler);
    EventHandler SetMouseWheelHandler(EventHandler handler);
    EventHandler SetGotFocusHandler(EventHandler handler);
    EventHandler SetLostFocusHandler(EventHandler handler);
    EventHandler SetKeyDownHandler(EventHandler handler);
    EventHandler SetKeyUpHandler(EventHandler handler);
    EventHandler SetCharHandler(EventHandler handler);
    EventHandler SetDropFilesHandler(EventHandler handler);
    EventHandler SetPaintHandler(EventHandler handler);

  protected:
    // A copy that takes the handlers but not the cursor.
    ControlObject(const ControlObject& other);
    ControlObject& operator=(const ControlObject&) = delete;

    // Handles one message of the attached window; an exception that reaches it ends the
    // program (runtime/guard.h).
    [[nodiscard]] LRESULT MessageHandler(HWND hwnd, UINT message, WPARAM wParam,
                                         LPARAM lParam) noexcept;

    // ---- Hooks a control overrides; a nonzero result answers the message ----
    // WM_COMMAND reflected from the parent.
    virtual LRESULT CommandHook(HWND parent, HWND child, int32_t notificationCode,
                                int32_t controlId);
    // WM_NOTIFY reflected from the parent.
    virtual LRESULT NotificationHook(HWND parent, HWND sender, int32_t code, UINT_PTR senderId,
                                     LPARAM lParam);
    // WM_CTLCOLOR* reflected from the parent; the result is the brush.
    virtual LRESULT ColourHook(HWND child, HDC dc);
    // WM_ERASEBKGND.
    virtual LRESULT EraseHook(HWND hwnd, HDC dc);
    // WM_LBUTTONDOWN, before the left-down event.
    virtual LRESULT LeftDownHook(HWND hwnd, LPARAM lParam);
    // Releases what the class holds for its window; run by Detach.
    virtual void Reset(HWND hwnd);

    // Registers hwnd for this object and subclasses it; false when another object
    // already holds it.
    bool Attach(HWND hwnd);
    // Hands the message to the procedure that WndProc replaced (DefWindowProcW when the
    // object no longer holds hwnd, for example after a handler destroyed the window).
    LRESULT DefaultProcessing(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

    HWND window_ = nullptr;

  private:
    struct Handlers {
        EventHandler leftDown;
        EventHandler leftUp;
        EventHandler leftDoubleClick;
        EventHandler rightDown;
        EventHandler rightUp;
        EventHandler mouseMove;
        EventHandler mouseEnter;
        EventHandler mouseLeave;
        EventHandler mouseWheel;
        EventHandler gotFocus;
        EventHandler lostFocus;
        EventHandler keyDown;
        EventHandler keyUp;
        EventHandler character;
        EventHandler dropFiles;
        EventHandler paint;
    };

    LRESULT RouteMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    // WM_SETCURSOR: shows the object's cursor over its client area.
    LRESULT ShowOwnCursor(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    // WM_MOUSEMOVE: arms leave tracking and raises the mouse-enter event once per visit.
    LRESULT TrackMouseEnter();
    // Forgets the window, the previous procedure, the cursor and the handlers.
    void ClearBaseRecord();

    WNDPROC previousProcedure_ = nullptr;
    UniqueCursor cursor_;
    Handlers on_;
    bool pointerInside_ = false;
};
