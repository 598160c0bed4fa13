// ButtonControl: a push button ("Button") or any other button style. Its BN_CLICKED
// notification, reflected from the parent, raises the click event (no arguments). A
// button owns the bitmap or icon it was given to show.
#pragma once

#include <windows.h>

#include <cstdint>
#include <memory>
#include <optional>

#include "runtime/text.h"
#include "ui/event_handler.h"
#include "ui/text_control.h"
#include "ui/unique_handle.h"

class ButtonControl : public TextControl {
  public:
    ButtonControl() = default;
    ~ButtonControl() override;

    std::unique_ptr<ControlObject> Clone() const override;

    // ---- Creation ----
    // Text absent means "按钮"; the identifier is the caller's when given, else the
    // next control identifier (the counter advances either way). 1 on success, 0 on failure.
    int32_t Create(HWND parent, std::optional<TextBlock> text, std::optional<int32_t> id,
                   DWORD style, int32_t x, int32_t y, int32_t width = 80, int32_t height = 32,
                   DWORD extendedStyle = 0);
    // With the caller's identifier; the counter stays as it was.
    int32_t Create(HWND parent, ChildWindowId id, std::optional<TextBlock> text, DWORD style,
                   int32_t x, int32_t y, int32_t width = 80, int32_t height = 32,
                   DWORD extendedStyle = 0);
    int32_t CreateFromDialogItem(HWND dialog, int32_t itemId, bool setFont = true);
    int32_t FromWindow(HWND hwnd);

    // ---- Image and check state ----
    // Shows the bitmap or icon and takes it over, releasing the one of the same kind shown
    // before; the result is BM_SETIMAGE's answer.
    LRESULT SetImage(UniqueBitmap&& bitmap);
    LRESULT SetImage(UniqueIcon&& icon);
    int32_t GetCheck() const;
    void SetCheck(int32_t state);  // BST_UNCHECKED, BST_CHECKED, BST_INDETERMINATE

    // ---- Events ----
    EventHandler SetClickHandler(EventHandler handler);  // (); BN_CLICKED

  protected:
    // The copy takes the click handler but no image: the images stay with the original.
    ButtonControl(const ButtonControl& other);
    LRESULT CommandHook(HWND parent, HWND child, int32_t notificationCode,
                        int32_t controlId) override;
    // Releases the bitmap and the icon and forgets the click handler.
    void ResetHook() override;

  private:
    EventHandler onClick_;
    UniqueBitmap bitmap_;
    UniqueIcon icon_;
};
