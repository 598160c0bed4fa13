// ComboBoxControl: a combo box ("ComboBox") on a white background. Items are numbered
// from 0 and carry one item-data integer each. Its CBN_ notifications, reflected from the
// parent, raise five events (no arguments).
#pragma once

#include <windows.h>

#include <cstdint>
#include <memory>
#include <optional>

#include "runtime/text.h"
#include "ui/event_handler.h"
#include "ui/text_control.h"

class ComboBoxControl : public TextControl {
  public:
    ComboBoxControl() = default;
    ~ComboBoxControl() override;

    std::unique_ptr<ControlObject> Clone() const override;

    // ---- Creation ----
    // Type absent means CBS_DROPDOWN; a vertical scroll bar, CBS_AUTOHSCROLL and
    // CBS_NOINTEGRALHEIGHT are always added. `height` includes the drop-down list. Without
    // `id` the box takes the next control identifier.
    int32_t Create(HWND parent, std::optional<DWORD> comboType, int32_t x, int32_t y,
                   int32_t width = 100, int32_t height = 110, DWORD extendedStyle = 0);
    int32_t Create(HWND parent, ChildWindowId id, std::optional<DWORD> comboType, int32_t x,
                   int32_t y, int32_t width = 100, int32_t height = 110, DWORD extendedStyle = 0);
    int32_t CreateFromDialogItem(HWND dialog, int32_t itemId, bool setFont = true);
    int32_t FromWindow(HWND hwnd);
    // The new item's index, or CB_ERR / CB_ERRSPACE when the text is refused.
    int32_t AddItem(const TextBlock& text, LPARAM data = 0);
    // Inserts at `index` (-1: at the end); the new item's index or a CB_ error value.
    int32_t InsertItem(int32_t index, const TextBlock& text, LPARAM data = 0);
    int32_t LimitText(int32_t limit);  // 0 means no limit
    // An empty text for an index that does not exist.
    TextBlock GetItemText(int32_t index) const;
    // Selects the first item that starts with `text`, searching after `start`.
    int32_t SelectString(const TextBlock& text, int32_t start = -1);
    int32_t GetCount() const;
    int32_t GetCurSel() const;         // -1 for none
    int32_t SetCurSel(int32_t index);  // 1 unless CB_ERR
    LPARAM GetItemData(int32_t index) const;
    int32_t SetItemData(int32_t index, LPARAM data);
    int32_t DeleteItem(int32_t index);  // the items left
    void ResetContent();
    int32_t ShowDropDown(bool show = true);
    int32_t FindString(const TextBlock& text, int32_t start = -1) const;
    int32_t FindStringExact(const TextBlock& text, int32_t start = -1) const;
    RECT GetDroppedControlRect() const;  // screen coordinates
    int32_t GetDroppedState() const;
    int32_t GetDroppedWidth() const;
    int32_t SetDroppedWidth(int32_t width);
    // Component -1 is the selection field, 0 the list items.
    int32_t GetItemHeight(int32_t component = 0) const;
    int32_t SetItemHeight(int32_t height, int32_t component = 0);
    int32_t SetEditSel(int32_t start, int32_t end);
    LRESULT GetEditSel(int32_t& start, int32_t& end) const;
    int32_t GetTopIndex() const;
    int32_t SetTopIndex(int32_t index);
    int32_t SetExtendedUI(bool extended = true);
    int32_t GetExtendedUI() const;
    // Each stores its handler and returns it.
    EventHandler SetSelChangeHandler(EventHandler handler);
    EventHandler SetEditUpdateHandler(EventHandler handler);
    EventHandler SetDropDownHandler(EventHandler handler);
    EventHandler SetCloseUpHandler(EventHandler handler);
    EventHandler SetComboDoubleClickHandler(EventHandler handler);

  protected:
    ComboBoxControl(const ComboBoxControl&) = default;
    LRESULT CommandHook(HWND parent, HWND child, int32_t notificationCode,
                        int32_t controlId) override;
    // Forgets the five handlers.
    void ResetHook() override;

  private:
    LRESULT SendToCombo(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const;

    EventHandler onSelChange_;
    EventHandler onEditUpdate_;
    EventHandler onDropDown_;
    EventHandler onCloseUp_;
    EventHandler onDoubleClick_;
};
