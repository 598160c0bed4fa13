// TextControl: the layer shared by the label, edit, button and combo box. It keeps a text
// colour and a background colour with its brush, and answers the parent's WM_CTLCOLOR*
// request for the control with them. A background of kTransparent (-1) shows the
// parent's pixels under the control instead of a colour.
#pragma once

#include <windows.h>

#include <cstdint>
#include <optional>

#include "runtime/text.h"
#include "ui/control_object.h"
#include "ui/unique_handle.h"

class TextControl : public ControlObject {
  public:
    static constexpr COLORREF kTransparent = CLR_INVALID;  // the background colour -1

    LRESULT ColourHook(HWND child, HDC dc) override;
    // Runs the class's reset hook and drops the colours and the brush.
    void Reset(HWND hwnd) override;

    // ---- shared operations, slots 1 to 4 after the window base ----
    // 1: creates the native window with the next control identifier as its child id.
    virtual HWND CreateTextWindow(HWND parent, DWORD extendedStyle, const wchar_t* className,
                                  const TextBlock* text, DWORD style, int32_t x, int32_t y,
                                  int32_t width, int32_t height, int32_t id);
    // 2 and 3: without a colour, the stored colour; with one, store it, repaint the control
    // unless `repaint` is false, and return 0.
    virtual COLORREF TextColor(std::optional<COLORREF> colour = std::nullopt, bool repaint = true);
    virtual COLORREF BackColor(std::optional<COLORREF> colour = std::nullopt, bool repaint = true);
    // 4: releases what the class itself holds; called by Reset while the window exists.
    virtual void ResetHook();

  protected:
    TextControl() = default;
    // The copy takes the colours but no brush: the brush stays with the original.
    TextControl(const TextControl& other);

    // The next identifier from the shared counter, as a child-window id.
    static int32_t NextControlId() { return ++ControlIdCounter; }
    static HMENU ChildId(int32_t id) { return reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)); }
    // The Text operation: with a text, set it and return an empty text; without, read it.
    TextBlock ReadOrWriteText(const std::optional<TextBlock>& text);

  private:
    void Repaint(bool repaint);

    COLORREF textColour_ = 0;
    COLORREF backColour_ = 0;
    // A solid brush of the background colour, or the stock null brush when transparent
    // (deleting a stock object does nothing); none before a background is set.
    UniqueBrush background_;
};
