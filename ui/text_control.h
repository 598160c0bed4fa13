// TextControl: the layer shared by the label, edit, button and combo box. It keeps a text
// colour and a background colour with its brush, and answers the parent's WM_CTLCOLOR*
// request for the control with them. A background of kTransparent (-1) shows the
// parent's pixels under the control instead of a colour.
#pragma once

#include <windows.h>

#include <cstdint>

#include "runtime/text.h"
#include "ui/control_object.h"
#include "ui/unique_handle.h"

class TextControl : public ControlObject {
  public:
    static constexpr COLORREF kTransparent = CLR_INVALID;  // the background colour -1
    static constexpr COLORREF kWhite = RGB(255, 255, 255);

    // Creates the native window with `id` as its child id.
    HWND CreateTextWindow(HWND parent, DWORD extendedStyle, const wchar_t* className,
                          const TextBlock* text, DWORD style, int32_t x, int32_t y, int32_t width,
                          int32_t height, int32_t id);

    // ---- Text ----
    TextBlock Text() const;
    int32_t SetText(const TextBlock& text);

    // ---- Colours: the setters repaint the control unless `repaint` is false ----
    COLORREF TextColour() const;
    void SetTextColour(COLORREF colour, bool repaint = true);
    COLORREF BackColour() const;
    void SetBackColour(COLORREF colour, bool repaint = true);

  protected:
    TextControl() = default;
    // The copy takes the colours but no brush: the brush stays with the original.
    TextControl(const TextControl& other);

    LRESULT ColourHook(HWND child, HDC dc) override;
    // Runs the class's reset hook and drops the colours and the brush.
    void Reset(HWND hwnd) override;
    // Releases what the class itself holds; called by Reset while the window exists.
    virtual void ResetHook();

    // The next identifier from the shared counter, as a child-window id.
    static int32_t NextControlId() { return ++ControlIdCounter; }
    static HMENU ChildId(int32_t id) { return reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)); }

  private:
    void Repaint(bool repaint);

    COLORREF textColour_ = 0;
    COLORREF backColour_ = 0;
    // A solid brush of the background colour; none before a background is set and while
    // the background is transparent (the stock null brush answers then, and is never
    // deleted).
    UniqueBrush background_;
};
