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
    LRESULT CommandHook(HWND parent, HWND child, int32_t notificationCode,
                        int32_t controlId) override;
    // 4: releases the bitmap and the icon and forgets the click handler.
    void ResetHook() override;

    // 5: text absent means "按钮"; the identifier is the caller's when given, else the
    // next control identifier (the counter advances either way). 1 on success, 0 on failure.
    virtual int32_t Create(HWND parent, std::optional<TextBlock> text, std::optional<int32_t> id,
                           DWORD style, int32_t x, int32_t y, int32_t width = 80,
                           int32_t height = 32, DWORD extendedStyle = 0);
    virtual int32_t CreateFromDialogItem(HWND dialog, int32_t itemId, bool setFont = true);  // 6
    virtual int32_t FromWindow(HWND hwnd);                                                   // 7
    // 8: with a text, show it and return an empty text; without, read the caption.
    virtual TextBlock Text(std::optional<TextBlock> text = std::nullopt);
    // 9: shows an icon (isIcon) or a bitmap and takes it over, releasing the one of the same
    // kind shown before; the result is BM_SETIMAGE's answer.
    virtual LRESULT SetImage(HANDLE image, bool isIcon);
    virtual void SetCheck(int32_t state);  // 10: BST_UNCHECKED, BST_CHECKED, BST_INDETERMINATE
    virtual int32_t GetCheck() const;      // 11
    virtual EventHandler SetClickHandler(EventHandler handler);  // 12

  protected:
    // The copy takes the click handler but no image: the images stay with the original.
    ButtonControl(const ButtonControl& other);

  private:
    EventHandler onClick_;
    UniqueBitmap bitmap_;
    UniqueIcon icon_;
};
