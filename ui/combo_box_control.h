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
    LRESULT CommandHook(HWND parent, HWND child, int32_t notificationCode,
                        int32_t controlId) override;
    void ResetHook() override;  // 4: forgets the five handlers

    // 5: type absent means CBS_DROPDOWN; a vertical scroll bar, CBS_AUTOHSCROLL and
    // CBS_NOINTEGRALHEIGHT are always added. `height` includes the drop-down list.
    virtual int32_t Create(HWND parent, std::optional<DWORD> comboType, int32_t x, int32_t y,
                           int32_t width = 100, int32_t height = 110, DWORD extendedStyle = 0);
    virtual int32_t CreateFromDialogItem(HWND dialog, int32_t itemId, bool setFont = true);  // 6
    virtual int32_t FromWindow(HWND hwnd);                                                   // 7
    // 8: the new item's index, or CB_ERR / CB_ERRSPACE when the text is refused.
    virtual int32_t AddItem(const TextBlock& text, LPARAM data = 0);
    // 9: inserts at `index` (-1: at the end); the new item's index or a CB_ error value.
    virtual int32_t InsertItem(int32_t index, const TextBlock& text, LPARAM data = 0);
    virtual int32_t LimitText(int32_t limit);  // 10: 0 means no limit
    // 11: an empty text for an index that does not exist.
    virtual TextBlock GetItemText(int32_t index) const;
    // 12: selects the first item that starts with `text`, searching after `start`.
    virtual int32_t SelectString(const TextBlock& text, int32_t start = -1);
    virtual int32_t GetCount() const;                         // 13
    virtual int32_t GetCurSel() const;                        // 14: -1 for none
    virtual int32_t SetCurSel(int32_t index);                 // 15: 1 unless CB_ERR
    virtual LPARAM GetItemData(int32_t index) const;          // 16
    virtual int32_t SetItemData(int32_t index, LPARAM data);  // 17
    virtual int32_t DeleteItem(int32_t index);                // 18: the items left
    virtual void ResetContent();                              // 19
    virtual int32_t ShowDropDown(bool show = true);           // 20
    virtual int32_t FindString(const TextBlock& text, int32_t start = -1) const;       // 21
    virtual int32_t FindStringExact(const TextBlock& text, int32_t start = -1) const;  // 22
    virtual RECT GetDroppedControlRect() const;      // 23: screen coordinates
    virtual int32_t GetDroppedState() const;         // 24
    virtual int32_t GetDroppedWidth() const;         // 25
    virtual int32_t SetDroppedWidth(int32_t width);  // 26
    // 27, 28: component -1 is the selection field, 0 the list items.
    virtual int32_t GetItemHeight(int32_t component = 0) const;
    virtual int32_t SetItemHeight(int32_t height, int32_t component = 0);
    virtual int32_t SetEditSel(int32_t start, int32_t end);          // 29
    virtual LRESULT GetEditSel(int32_t& start, int32_t& end) const;  // 30
    virtual int32_t GetTopIndex() const;                             // 31
    virtual int32_t SetTopIndex(int32_t index);                      // 32
    virtual int32_t SetExtendedUI(bool extended = true);             // 33
    virtual int32_t GetExtendedUI() const;                           // 34
    // 35 to 39: each stores its handler and returns it.
    virtual EventHandler SetSelChangeHandler(EventHandler handler);
    virtual EventHandler SetEditUpdateHandler(EventHandler handler);
    virtual EventHandler SetDropDownHandler(EventHandler handler);
    virtual EventHandler SetCloseUpHandler(EventHandler handler);
    virtual EventHandler SetComboDoubleClickHandler(EventHandler handler);

  protected:
    ComboBoxControl(const ComboBoxControl&) = default;

  private:
    LRESULT SendToCombo(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const;

    EventHandler onSelChange_;
    EventHandler onEditUpdate_;
    EventHandler onDropDown_;
    EventHandler onCloseUp_;
    EventHandler onDoubleClick_;
};
