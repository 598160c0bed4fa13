// LabelControl: a static text ("Static"). Without a text it shows "标签"; it draws on the
// button-face colour unless given another background.
#pragma once

#include <windows.h>

#include <cstdint>
#include <memory>
#include <optional>

#include "runtime/text.h"
#include "ui/text_control.h"

class LabelControl : public TextControl {
  public:
    LabelControl() = default;
    ~LabelControl() override;

    std::unique_ptr<ControlObject> Clone() const override;

    // Style absent means SS_CENTERIMAGE; 1 on success, 0 on failure. Without `id` the
    // label takes the next control identifier.
    int32_t Create(HWND parent, std::optional<TextBlock> text, std::optional<DWORD> style,
                   int32_t x, int32_t y, int32_t width = 80, int32_t height = 24,
                   DWORD extendedStyle = 0);
    int32_t Create(HWND parent, ChildWindowId id, std::optional<TextBlock> text,
                   std::optional<DWORD> style, int32_t x, int32_t y, int32_t width = 80,
                   int32_t height = 24, DWORD extendedStyle = 0);
    int32_t CreateFromDialogItem(HWND dialog, int32_t itemId, bool setFont = true);
    int32_t FromWindow(HWND hwnd);

  protected:
    LabelControl(const LabelControl&) = default;
};
