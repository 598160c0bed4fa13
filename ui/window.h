// Window: the library's top-level window. Show registers the class "WTWindow", creates
// the window (optionally with a hidden owner that keeps it off the taskbar), raises
// OnCreate, shows it and, for a modal window, runs a nested message loop until the window
// is gone. Window-level messages (close, destroy, move, size, activation, the
// notification-area icon, menu commands, hotkeys) become the events registered here.
//
// Every Window is also subclassed like any ControlObject, so a message passes through
// SubclassProc and CommonWindowProc first and reaches ClassWindowProc, and from there
// HandleMessage, as CommonWindowProc's default processing.
#pragma once

#include <windows.h>
#include <shellapi.h>

#include <memory>

#include "runtime/heap.h"
#include "ui/control_object.h"
#include "ui/menu_object.h"
#include "ui/unique_handle.h"

// The procedure of the "WTWindow" class.
LRESULT CALLBACK ClassWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

class Window : public ControlObject {
  public:
    // The callback message of the notification-area icon.
    static constexpr UINT kTrayMessage = 0x3019;

    Window() = default;
    ~Window() override;

    // ---- slots the Window replaces ----
    std::unique_ptr<ControlObject> Clone() const override;                                  // 1
    LRESULT HandleMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) override;  // 3
    LRESULT EraseHook(HWND hwnd, HDC dc) override;                                          // 12
    LRESULT LeftDownHook(HWND hwnd, LPARAM lParam) override;                                // 17
    void Reset(HWND hwnd) override;                                                         // 26

    // ---- Window operations, slots 97 to 131 ----
    // 97: fills the rectangle with the background brush and draws the picture by its mode.
    virtual void PaintBackground(HDC dc, const RECT& rectangle);
    // 98: called on WM_SIZE before OnSize.
    virtual void LayoutHook();
    // 99: raises the window-level event of the message; 1 when the message is answered.
    virtual int32_t DispatchWindowEvent(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    // 100
    virtual void ForgetCloseAndCreateHandlers();
    // 101: sets the background colour, creates the window (owner as parent) and copies the
    // owner's icons; the handle or 0.
    virtual HWND CreateFrame(HWND owner, const TextBlock* title, DWORD style, DWORD extendedStyle,
                             int32_t x, int32_t y, int32_t width, int32_t height,
                             const TextBlock& className);
    // 102: the stored colour; with a colour, a new solid brush (mode 0) and a redraw unless
    // redraw is given as something other than 1.
    virtual COLORREF BackgroundColour(std::optional<COLORREF> colour = std::nullopt,
                                      std::optional<int32_t> redraw = std::nullopt);
    // 103: the stored picture; with a bitmap (which the window then owns), mode 0 tiles
    // it, 1 draws it at the top-left corner, 2 stretches it.
    virtual HBITMAP BackgroundPicture(std::optional<HBITMAP> bitmap = std::nullopt,
                                      int32_t mode = 0,
                                      std::optional<int32_t> redraw = std::nullopt);
    // 104: without a state: 1 minimised, 2 maximised, else 0. With one: 0 normal,
    // 1 minimise, 2 maximise, 3 centre on the screen and show, anything else hide.
    virtual int32_t WindowState(std::optional<int32_t> state = std::nullopt);
    // 105: with an icon, WM_SETICON (size 0 small, 1 big) giving the previous icon;
    // without, WM_GETICON.
    virtual HICON Icon(std::optional<HICON> icon = std::nullopt, int32_t size = 0);
    // 106: the window's menu bar, held by the library's menu-bar object (refilled by each
    // call).
    virtual MenuObject& MenuBar() const;
    // 107: makes the menu the window's menu bar, or removes the bar without a menu; 1/0.
    virtual int32_t SetMenuBar(const MenuObject* menu = nullptr);
    // 108
    virtual int32_t RedrawMenuBar();
    // 109 to 113: the notification-area icon. The window owns the icons handed to it.
    virtual int32_t AddNotificationIcon(HICON icon, const TextBlock* tip = nullptr);
    virtual int32_t SetNotificationTip(const TextBlock& tip);
    virtual int32_t SetNotificationIcon(HICON icon);
    virtual int32_t ShowBalloon(const TextBlock& text, const TextBlock* title = nullptr,
                                DWORD infoFlags = NIIF_INFO, UINT timeout = 10000);
    virtual int32_t RemoveNotificationIcon();
    // 114 and 115: set with a value (result 1); read without.
    virtual int32_t KeepCaptionActive(std::optional<int32_t> value = std::nullopt);
    virtual int32_t DragToMove(std::optional<int32_t> value = std::nullopt);
    // 116: the next id of the hotkey counter shared by all windows, or 0 when the
    // registration fails (the counter then stays).
    virtual int32_t RegisterHotkey(UINT modifiers, UINT virtualKey);
    // 117
    virtual int32_t UnregisterHotkey(int32_t id);
    // 118 to 128: window-level event registrations; each stores the handler and returns it.
    virtual EventHandler SetMenuCommandHandler(EventHandler handler);    // (command id)
    virtual EventHandler SetDestroyHandler(EventHandler handler);        // ()
    virtual EventHandler SetMoveHandler(EventHandler handler);           // (x, y)
    virtual EventHandler SetSizeHandler(EventHandler handler);           // (width, height)
    virtual EventHandler SetActivateHandler(EventHandler handler);       // ()
    virtual EventHandler SetDeactivateHandler(EventHandler handler);     // ()
    virtual EventHandler SetFirstActivateHandler(EventHandler handler);  // ()
    virtual EventHandler SetShowHandler(EventHandler handler);           // ()
    virtual EventHandler SetHideHandler(EventHandler handler);           // ()
    virtual EventHandler SetTrayEventHandler(EventHandler handler);      // (code 1 to 10, or 0)
    virtual EventHandler SetHotkeyHandler(EventHandler handler);         // (id, modifiers, key)
    // 129: creates and shows the window; see the class comment. `onCreate` receives the
    // window handle. A class name given as an empty text receives "WTWindow". Gives the
    // window handle (no longer a window after a modal loop that ended with it), or 0.
    virtual HWND Show(std::optional<HWND> parent = std::nullopt, const TextBlock* title = nullptr,
                      EventHandler onCreate = nullptr, std::optional<int32_t> modal = std::nullopt,
                      std::optional<int32_t> x = std::nullopt,
                      std::optional<int32_t> y = std::nullopt,
                      std::optional<int32_t> width = std::nullopt,
                      std::optional<int32_t> height = std::nullopt,
                      std::optional<DWORD> style = std::nullopt,
                      std::optional<DWORD> extendedStyle = std::nullopt,
                      std::optional<int32_t> visible = std::nullopt, TextBlock* className = nullptr,
                      HACCEL accelerators = nullptr,
                      std::optional<int32_t> showInTaskbar = std::nullopt);
    // 130: AttachWindow; 1 when it attached.
    virtual int32_t AttachExistingWindow(HWND hwnd);
    // 131: OnClose (no arguments); a nonzero result keeps the window open.
    virtual EventHandler SetCloseHandler(EventHandler handler);

  protected:
    Window(const Window& other);

  private:
    struct HeapBlockRelease {
        void operator()(void* block) const { Release(block); }
    };
    using NotificationBlock = std::unique_ptr<NOTIFYICONDATAW, HeapBlockRelease>;

    // Sends the notification block with `message` and `flags`; 1 on success.
    int32_t Notify(DWORD message, UINT flags);
    // Invalidates the whole window with erase unless redraw is given as other than 1.
    void RedrawBackground(std::optional<int32_t> redraw);
    // Runs the nested loop of a modal Show until the window is gone or WM_QUIT arrives.
    void RunModalLoop(HWND hwnd, HACCEL accelerators);

    UniqueBrush backgroundBrush_;
    COLORREF backgroundColour_ = 0;
    UniqueBitmap backgroundBitmap_;
    int32_t backgroundMode_ = 0;
    NotificationBlock notification_;
    UniqueIcon notificationIcon_;
    UINT taskbarCreatedMessage_ = 0;
    EventHandler onDestroy_;
    EventHandler onMove_;
    EventHandler onSize_;
    EventHandler onActivate_;
    EventHandler onDeactivate_;
    EventHandler onFirstActivate_;
    EventHandler onShow_;
    EventHandler onHide_;
    EventHandler onTrayEvent_;
    EventHandler onMenuCommand_;
    int32_t keepCaptionActive_ = 0;
    int32_t dragToMove_ = 0;
    int32_t firstActivation_ = 0;
    EventHandler onHotkey_;
    EventHandler onCreate_;
    EventHandler onClose_;
    // The hidden owner that keeps the window off the taskbar; closed with the window.
    HWND hiddenOwner_ = nullptr;
};
