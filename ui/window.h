// Window: the library's top-level window. Show registers the class "WTWindow", creates
// the window (optionally with a hidden owner that keeps it off the taskbar), raises
// OnCreate, shows it and, for a modal window, runs a nested message loop until the window
// is gone. Window-level messages (close, destroy, move, size, activation, the
// notification-area icon, menu and system-menu commands, hotkeys) become the events
// registered here.
//
// Every Window is also subclassed like any ControlObject, so a message passes through
// ControlObject::WndProc first and reaches the class procedure ClassWndProc as the
// subclass's default processing.
#pragma once

#include <windows.h>
#include <shellapi.h>

#include <functional>
#include <memory>

#include "runtime/heap.h"
#include "ui/control_object.h"
#include "ui/menu_object.h"
#include "ui/unique_handle.h"

// How Show creates the window; every field has a default, so a call names only what it
// changes: window.Show({.title = &title, .onCreate = &Build, .modal = true}).
struct ShowOptions {
    // The owner; a modal window disables it until the window is gone.
    HWND parent = nullptr;
    const TextBlock* title = nullptr;
    // Raised with the window handle once the window exists, before it is shown.
    EventHandler onCreate;
    bool modal = false;
    int32_t x = CW_USEDEFAULT;
    int32_t y = CW_USEDEFAULT;
    int32_t width = 380;
    int32_t height = 250;
    DWORD style = WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN;
    DWORD extendedStyle = 0;
    bool visible = true;
    // Empty: the library's class "WTWindow".
    const TextBlock* className = nullptr;
    // Translated by a modal window's loop.
    HACCEL accelerators = nullptr;
    // False gives a window without a parent a hidden owner, which keeps it off the taskbar.
    bool showInTaskbar = true;
};

enum class WindowState { kNormal, kMinimised, kMaximised, kCentred, kHidden };

// How a background picture is drawn.
enum class PictureMode { kTiled, kTopLeft, kStretched };

class Window : public ControlObject {
  public:
    // The callback message of the notification-area icon.
    static constexpr UINT kTrayMessage = 0x3019;

    Window() = default;
    ~Window() override;
    // The copy shares no brush, picture, icon or notification block: those stay with the
    // original, which alone releases them.
    std::unique_ptr<ControlObject> Clone() const override;

    // The procedure of the "WTWindow" class.
    static LRESULT CALLBACK ClassWndProc(HWND hwnd, UINT message, WPARAM wParam,
                                         LPARAM lParam) noexcept;

    // ---- Creation ----
    // Creates and shows the window; see the class comment. Gives the window handle (no
    // longer a window after a modal loop that ended with it), or 0.
    HWND Show(const ShowOptions& options = {});
    // AttachWindow; 1 when it attached.
    int32_t AttachExistingWindow(HWND hwnd);

    // ---- State ----
    // kMinimised, kMaximised or kNormal.
    WindowState State() const;
    // kCentred centres the window on the screen and shows it; the system call's result.
    BOOL SetState(WindowState state);
    // The caption keeps looking active when the window loses the activation.
    bool KeepsCaptionActive() const;
    void SetKeepCaptionActive(bool keep);
    // A left-button press anywhere in the client area drags the window.
    bool DragsToMove() const;
    void SetDragToMove(bool drag);
    // The smallest outer size the frame can be dragged or set to, asked for at each
    // WM_GETMINMAXINFO (it may follow the DPI); without one, or 0 by 0, the system's.
    using SizeSource = std::function<SIZE()>;
    void SetMinimumTrackSize(SizeSource source);

    // ---- Background ----
    COLORREF BackgroundColour() const;
    // A solid brush of the colour, drawn without a picture.
    void SetBackgroundColour(COLORREF colour, bool redraw = true);
    HBITMAP BackgroundPicture() const;
    // The window owns the picture from then on.
    void SetBackgroundPicture(UniqueBitmap&& picture, PictureMode mode = PictureMode::kTiled,
                              bool redraw = true);

    // ---- Icons and menu bar ----
    // The caption's icon (ICON_SMALL or ICON_BIG). The window only shows it: the caller
    // keeps it alive. The setter gives the previous one back.
    HICON Icon(int32_t size = ICON_SMALL) const;
    HICON SetIcon(HICON icon, int32_t size = ICON_SMALL);
    // The window's menu bar, held by the library's menu-bar object (refilled by each call).
    MenuObject& MenuBar() const;
    // Makes the menu the window's menu bar, or removes the bar without a menu; 1/0.
    int32_t SetMenuBar(const MenuObject* menu = nullptr);
    int32_t RedrawMenuBar();

    // ---- Notification-area icon: the window owns the icons handed to it; 1/0 ----
    int32_t AddNotificationIcon(UniqueIcon&& icon, const TextBlock* tip = nullptr);
    int32_t SetNotificationTip(const TextBlock& tip);
    int32_t SetNotificationIcon(UniqueIcon&& icon);
    int32_t ShowBalloon(const TextBlock& text, const TextBlock* title = nullptr,
                        DWORD infoFlags = NIIF_INFO, UINT timeout = 10000);
    int32_t RemoveNotificationIcon();

    // ---- Hotkeys ----
    // The next id of the hotkey counter shared by all windows, or 0 when the registration
    // fails (the counter then stays).
    int32_t RegisterHotkey(UINT modifiers, UINT virtualKey);
    int32_t UnregisterHotkey(int32_t id);

    // ---- Events: each registration stores the handler and returns it ----
    EventHandler SetCloseHandler(EventHandler handler);          // (); nonzero keeps the window
    EventHandler SetDestroyHandler(EventHandler handler);        // ()
    EventHandler SetMoveHandler(EventHandler handler);           // (x, y)
    EventHandler SetSizeHandler(EventHandler handler);           // (width, height)
    EventHandler SetActivateHandler(EventHandler handler);       // ()
    EventHandler SetDeactivateHandler(EventHandler handler);     // ()
    EventHandler SetFirstActivateHandler(EventHandler handler);  // ()
    EventHandler SetShowHandler(EventHandler handler);           // ()
    EventHandler SetHideHandler(EventHandler handler);           // ()
    EventHandler SetMenuCommandHandler(EventHandler handler);    // (command id)
    // (command id & 0xFFF0, the system's own bits cleared); nonzero answers the message,
    // else the system carries the command out.
    EventHandler SetSystemCommandHandler(EventHandler handler);
    EventHandler SetTrayEventHandler(EventHandler handler);  // (code 1 to 10, or 0)
    EventHandler SetHotkeyHandler(EventHandler handler);     // (id, modifiers, key)
    // (new DPI, const RECT* suggested window rectangle); with a handler registered, the
    // handler alone answers WM_DPICHANGED.
    EventHandler SetDpiChangeHandler(EventHandler handler);
    // (); a mouse button went down in the client area, on the window itself or on any child
    // of it (WM_PARENTNOTIFY). The press still goes on to do its own work.
    EventHandler SetPressHandler(EventHandler handler);

  protected:
    Window(const Window& other);

    LRESULT EraseHook(HWND hwnd, HDC dc) override;
    LRESULT LeftDownHook(HWND hwnd, LPARAM lParam) override;
    void Reset(HWND hwnd) override;

  private:
    struct HeapBlockRelease {
        void operator()(void* block) const { Release(block); }
    };
    using NotificationBlock = std::unique_ptr<NOTIFYICONDATAW, HeapBlockRelease>;
    struct Handlers {
        EventHandler create;
        EventHandler close;
        EventHandler destroy;
        EventHandler move;
        EventHandler size;
        EventHandler activate;
        EventHandler deactivate;
        EventHandler firstActivate;
        EventHandler show;
        EventHandler hide;
        EventHandler menuCommand;
        EventHandler systemCommand;
        EventHandler trayEvent;
        EventHandler hotkey;
        EventHandler dpiChange;
        EventHandler press;
    };

    [[nodiscard]] LRESULT ClassMessageHandler(HWND hwnd, UINT message, WPARAM wParam,
                                              LPARAM lParam) noexcept;
    LRESULT HandleClassMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    // Raises the window-level event of the message; true when the message is answered.
    bool RaiseWindowEvent(UINT message, WPARAM wParam, LPARAM lParam);
    // Fills the rectangle with the background brush and draws the picture by its mode.
    void PaintBackground(HDC dc, const RECT& rectangle);
    // Sets the background colour, creates the window (owner as parent) and copies the
    // owner's icons; the handle or 0.
    HWND CreateFrame(HWND owner, const ShowOptions& options, const TextBlock& className);
    // Sends the notification block with `message` and `flags`; 1 on success.
    int32_t Notify(DWORD message, UINT flags);
    void RedrawBackground(bool redraw);
    // Runs the nested loop of a modal Show until the window is gone or WM_QUIT arrives.
    void RunModalLoop(HWND hwnd, HACCEL accelerators);

    Handlers events_;
    UniqueBrush backgroundBrush_;
    COLORREF backgroundColour_ = 0;
    UniqueBitmap backgroundPicture_;
    PictureMode pictureMode_ = PictureMode::kTiled;
    NotificationBlock notification_;
    UniqueIcon notificationIcon_;
    UINT taskbarCreatedMessage_ = 0;
    bool keepCaptionActive_ = false;
    bool dragToMove_ = false;
    bool activatedBefore_ = false;
    SizeSource minimumTrackSize_;
    // The hidden owner that keeps the window off the taskbar; closed with the window.
    HWND hiddenOwner_ = nullptr;
};
