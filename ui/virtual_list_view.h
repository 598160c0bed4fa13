// VirtualListViewControl: a list view in virtual mode (LVS_OWNERDATA). The list holds
// only the row count and the row states (selection, focus); the application keeps the
// rows and gives the text of a cell whenever the list asks (LVN_GETDISPINFO), also when
// another process reads a cell with LVM_GETITEMTEXTW. Every ListViewControl operation that
// reads rows or states works as on an ordinary list; those that store texts, images or
// item data in the list (SetItemText, InsertItem, SortItems, ...) have no effect here.
//
// Events: the item-selected event is raised as on an ordinary list, and also once for a
// range selected in one step (LVN_ODSTATECHANGED), with the focused row; type-ahead and
// FindItemByText go to the find source (LVN_ODFINDITEM); a row's tip (LVS_EX_INFOTIP)
// comes from the tip source.
#pragma once

#include <functional>

#include "ui/list_view_control.h"

class VirtualListViewControl : public ListViewControl {
  public:
    // Writes the text of a cell, with its zero unit, into a buffer of `capacity` units. Like
    // an event handler, a source may carry state.
    using CellTextSource =
        std::function<void(int32_t row, int32_t column, wchar_t* buffer, int32_t capacity)>;
    // The first row at or after `start` whose first cell begins with `prefix` (the list
    // asks with LVFI_PARTIAL) or equals it, going on from the top when `wrap`; -1 for none.
    using RowFinder =
        std::function<int32_t(const wchar_t* prefix, bool partial, int32_t start, bool wrap)>;
    // Writes the tip of a row, with its zero unit, into a buffer of `capacity` units, or
    // leaves the buffer as the list gave it (the row's text when it does not fit).
    using RowTipSource = std::function<void(int32_t row, wchar_t* buffer, int32_t capacity)>;

    VirtualListViewControl() = default;
    ~VirtualListViewControl() override;

    std::unique_ptr<ControlObject> Clone() const override;
    LRESULT NotificationHook(HWND parent, HWND sender, int32_t code, UINT_PTR senderId,
                             LPARAM lParam) override;
    // As the ordinary list, with LVS_OWNERDATA added to the style.
    using ListViewControl::Create;
    int32_t Create(HWND parent, ChildWindowId id, DWORD style, int32_t x, int32_t y,
                   int32_t width = 100, int32_t height = 120,
                   DWORD extendedStyle = WS_EX_CLIENTEDGE) override;
    EventHandler SetItemSelectedHandler(EventHandler handler) override;
    // Forgets the sources with the handlers when the window goes.
    void Reset(HWND hwnd) override;

    void SetCellTextSource(CellTextSource source) { cellText_ = std::move(source); }
    void SetRowFinder(RowFinder finder) { findRow_ = std::move(finder); }
    void SetRowTipSource(RowTipSource source) { rowTip_ = std::move(source); }

    // Sets the number of rows. When `keepView`, rows that stay are not redrawn and the
    // list does not scroll (for rows appended while the user looks at the list).
    int32_t SetRowCount(int32_t count, bool keepView);
    // Redraws the rows from `first` to `last` after their cells changed.
    int32_t RedrawRows(int32_t first, int32_t last);
    int32_t RedrawRow(int32_t row) { return RedrawRows(row, row); }

  protected:
    VirtualListViewControl(const VirtualListViewControl&) = default;

  private:
    int32_t FocusedRow() const;

    CellTextSource cellText_;
    RowFinder findRow_;
    RowTipSource rowTip_;
    EventHandler itemSelected_;
};
