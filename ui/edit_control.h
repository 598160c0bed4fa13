// EditControl: a single-line edit box ("Edit") on a white background. Its EN_CHANGE
// notification, reflected from the parent, raises the change event (no arguments).
#pragma once

#include <windows.h>

#include <cstdint>
#include <memory>
#include <optional>

#include "runtime/text.h"
#include "ui/event_handler.h"
#include "ui/text_control.h"

class EditControl : public TextControl {
  public:
    EditControl() = default;
    ~EditControl() override;

    std::unique_ptr<ControlObject> Clone() const override;
    LRESULT CommandHook(HWND parent, HWND child, int32_t notificationCode,
                        int32_t controlId) override;
    void ResetHook() override;  // 4: the change handler survives the window

    // 5: style absent means ES_AUTOHSCROLL (a given style replaces it); WS_TABSTOP is
    // always added. 1 on success, 0 on failure.
    virtual int32_t Create(HWND parent, std::optional<TextBlock> text, std::optional<DWORD> style,
                           int32_t x, int32_t y, int32_t width = 80, int32_t height = 20,
                           DWORD extendedStyle = WS_EX_CLIENTEDGE);
    virtual int32_t CreateFromDialogItem(HWND dialog, int32_t itemId, bool setFont = true);  // 6
    virtual int32_t FromWindow(HWND hwnd);                                                   // 7
    // 8: with a text, show it and return an empty text; without, read the edit's text.
    virtual TextBlock Text(std::optional<TextBlock> text = std::nullopt);
    virtual void SetSel(int32_t start, int32_t end = -1);  // 9
    // 10: the selection's start and end; the result is EM_GETSEL's packed answer.
    virtual LRESULT GetSel(int32_t& start, int32_t& end) const;
    virtual void AppendText(const TextBlock& text);  // 11: at the end, undoable
    virtual void ReplaceSel(const TextBlock& text);  // 12: undoable
    // 13: with a value, set the limit (result 0); without, the current limit.
    virtual int32_t LimitText(std::optional<int32_t> limit = std::nullopt);
    virtual TextBlock GetPasswordChar() const;             // 14: a one-character text
    virtual void SetPasswordChar(const TextBlock& value);  // 15: its first character
    // 16: absent means read-only; 1 on success.
    virtual int32_t SetReadOnly(std::optional<bool> readOnly = std::nullopt);
    virtual RECT GetRect() const;                                 // 17: the formatting rectangle
    virtual void SetRect(const RECT& rectangle);                  // 18: without redrawing
    virtual EventHandler SetChangeHandler(EventHandler handler);  // 19

  protected:
    EditControl(const EditControl&) = default;

  private:
    EventHandler onChange_;
};
