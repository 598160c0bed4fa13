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

    // ---- Creation ----
    // Style absent means ES_AUTOHSCROLL (a given style replaces it); WS_TABSTOP is
    // always added. 1 on success, 0 on failure. Without `id` the box takes the next control
    // identifier.
    int32_t Create(HWND parent, std::optional<TextBlock> text, std::optional<DWORD> style,
                   int32_t x, int32_t y, int32_t width = 80, int32_t height = 20,
                   DWORD extendedStyle = WS_EX_CLIENTEDGE);
    int32_t Create(HWND parent, ChildWindowId id, std::optional<TextBlock> text,
                   std::optional<DWORD> style, int32_t x, int32_t y, int32_t width = 80,
                   int32_t height = 20, DWORD extendedStyle = WS_EX_CLIENTEDGE);
    int32_t CreateFromDialogItem(HWND dialog, int32_t itemId, bool setFont = true);
    int32_t FromWindow(HWND hwnd);

    // ---- Text and selection ----
    // The selection's start and end; the result is EM_GETSEL's packed answer.
    LRESULT GetSel(int32_t& start, int32_t& end) const;
    void SetSel(int32_t start, int32_t end = -1);
    void AppendText(const TextBlock& text);  // at the end, undoable
    void ReplaceSel(const TextBlock& text);  // undoable
    int32_t TextLimit() const;
    void SetTextLimit(int32_t limit);
    TextBlock GetPasswordChar() const;             // a one-character text
    void SetPasswordChar(const TextBlock& value);  // its first character
    int32_t SetReadOnly(bool readOnly = true);     // 1 on success

    // ---- Geometry ----
    RECT GetRect() const;                 // the formatting rectangle
    void SetRect(const RECT& rectangle);  // without redrawing

    // ---- Events ----
    EventHandler SetChangeHandler(EventHandler handler);  // (); EN_CHANGE

  protected:
    EditControl(const EditControl&) = default;
    LRESULT CommandHook(HWND parent, HWND child, int32_t notificationCode,
                        int32_t controlId) override;

  private:
    EventHandler onChange_;
};
