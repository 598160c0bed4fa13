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
    void ResetHook() override;  // 4: a label holds nothing of its own

    // 5: style absent means SS_CENTERIMAGE; 1 on success, 0 on failure.
    virtual int32_t Create(HWND parent, std::optional<TextBlock> text, std::optional<DWORD> style,
                           int32_t x, int32_t y, int32_t width = 80, int32_t height = 24,
                           DWORD extendedStyle = 0);
    virtual int32_t CreateFromDialogItem(HWND dialog, int32_t itemId, bool setFont = true);  // 6
    virtual int32_t FromWindow(HWND hwnd);                                                   // 7
    // 8: with a text, show it and return an empty text; without, read the shown text.
    virtual TextBlock Text(std::optional<TextBlock> text = std::nullopt);

  protected:
    LabelControl(const LabelControl&) = default;
};
