// ListViewControl: a common-controls list view ("SysListView32"). Rows and columns are
// numbered from 0; a row's item data is its LVITEMW lParam and its check state is its
// state-image index minus one (0 unchecked, 1 checked, -1 no state image). Texts cross
// the interface as UTF-16 TextBlocks. The list view's notifications reach the object
// through its parent and raise the ten list events; each handler receives two integers.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

#include "runtime/text.h"
#include "ui/control_object.h"
#include "ui/event_handler.h"

// One row as GetRow reads it: the first cell's attributes and the texts of every column.
struct ListViewRow {
    TextBlock text;
    int32_t image = -1;
    UINT state = 0;
    int32_t indent = 0;
    LPARAM data = 0;
    std::vector<TextBlock> cells;
};

class ListViewControl : public ControlObject {
  public:
    // The longest cell text GetItemText returns, in UTF-16 units.
    static constexpr int32_t kMaximumTextLength = 259;

    ListViewControl();
    ~ListViewControl() override;
    std::unique_ptr<ControlObject> Clone() const override;

    // ---- Creation ----
    // A child list view with WS_CHILD | WS_VISIBLE, full-row info tips and sub-item images.
    // Without `id` the list takes the next control identifier.
    int32_t Create(HWND parent, DWORD style, int32_t x, int32_t y, int32_t width = 100,
                   int32_t height = 120, DWORD extendedStyle = WS_EX_CLIENTEDGE);
    virtual int32_t Create(HWND parent, ChildWindowId id, DWORD style, int32_t x, int32_t y,
                           int32_t width = 100, int32_t height = 120,
                           DWORD extendedStyle = WS_EX_CLIENTEDGE);
    int32_t CreateFromDialogItem(HWND dialog, int32_t itemId, bool setFont = true);
    int32_t FromWindow(HWND hwnd);

    // ---- Rows: reading ----
    int32_t GetItemCount() const;
    // At most kMaximumTextLength units; an empty text when the cell does not exist.
    TextBlock GetItemText(int32_t row, int32_t column = 0) const;
    int32_t GetItemImage(int32_t row, int32_t column = 0) const;
    int32_t GetCheckState(int32_t row) const;
    int32_t GetItemIndent(int32_t row) const;
    LPARAM GetItemData(int32_t row) const;
    ListViewRow GetRow(int32_t row) const;
    int32_t GetAllRows(std::vector<ListViewRow>& rows) const;
    // Searches after `start` (-1: from the top); the row found or -1.
    int32_t FindItemByText(const TextBlock& text, bool exact = true, int32_t start = -1,
                           bool wrap = false) const;
    int32_t FindItemByData(LPARAM data, int32_t start = -1, bool wrap = false) const;

    // ---- Rows: writing ----
    // Appends when the row is absent or -1; the new row's index, -1 on failure.
    int32_t InsertItem(std::optional<int32_t> row = std::nullopt,
                       const TextBlock& text = TextBlock(),
                       std::optional<int32_t> image = std::nullopt,
                       std::optional<int32_t> checkState = std::nullopt, int32_t indent = 0,
                       LPARAM data = 0);
    int32_t SetItemText(int32_t row, int32_t column = 0, const TextBlock& text = TextBlock());
    // Without an image the cell shows none.
    int32_t SetItemImage(int32_t row, std::optional<int32_t> image = std::nullopt,
                         int32_t column = 0);
    // Without a state the row loses its state image.
    int32_t SetCheckState(int32_t row, std::optional<int32_t> checkState = std::nullopt);
    int32_t SetItemIndent(int32_t row, int32_t indent);
    int32_t SetItemData(int32_t row, LPARAM data);
    int32_t DeleteItem(int32_t row);
    int32_t DeleteAllItems();
    int32_t SortItems(PFNLVCOMPARE compare, LPARAM parameter = 0);
    HWND EditLabel(int32_t row);
    HWND GetEditControl() const;

    // ---- Selection and check marks ----
    std::vector<int32_t> GetSelectedItems() const;
    int32_t GetSelectedCount() const;
    int32_t IsItemSelected(int32_t row) const;
    int32_t SelectItem(int32_t row);
    int32_t DeselectItem(int32_t row);  // -1: all rows
    int32_t GetSelectionMark() const;
    int32_t SetSelectionMark(int32_t row);
    // The rows whose state image is set and is not the unchecked one.
    std::vector<int32_t> GetCheckedItems() const;

    // ---- Columns ----
    int32_t GetColumnCount() const;
    // Appends when the column is absent or -1; the new column's index, -1 on failure.
    int32_t InsertColumn(std::optional<int32_t> column = std::nullopt,
                         const TextBlock& title = TextBlock(), int32_t width = 50,
                         int32_t format = LVCFMT_LEFT, std::optional<int32_t> image = std::nullopt,
                         std::optional<bool> imageOnRight = std::nullopt);
    int32_t DeleteColumn(int32_t column);
    TextBlock GetColumnText(int32_t column) const;
    int32_t SetColumnText(int32_t column, const TextBlock& text);
    int32_t GetColumnWidth(int32_t column) const;
    int32_t SetColumnWidth(int32_t column, int32_t width = LVSCW_AUTOSIZE);
    int32_t GetColumnFormat(int32_t column) const;
    int32_t SetColumnFormat(int32_t column, int32_t format);
    int32_t GetColumnImage(int32_t column) const;
    int32_t SetColumnImage(int32_t column, int32_t image);
    int32_t GetColumnOrder(int32_t column) const;
    int32_t GetSelectedColumn() const;
    void SetSelectedColumn(int32_t column);
    HWND GetHeader() const;

    // ---- Geometry and scrolling ----
    // Redraws the visible rows instead of UpdateWindow.
    BOOL Update() override;
    int32_t GetTopIndex() const;
    int32_t GetCountPerPage() const;
    int32_t EnsureVisible(int32_t row, bool partialAllowed = true);
    int32_t Scroll(int32_t dx, int32_t dy);
    int32_t Arrange();
    RECT GetItemRect(int32_t row, int32_t area = LVIR_BOUNDS) const;
    RECT GetSubItemRect(int32_t row, int32_t column, int32_t area = LVIR_BOUNDS) const;
    POINT GetItemPosition(int32_t row) const;
    int32_t SetItemPosition(int32_t row, int32_t x, int32_t y);
    SIZE GetItemSpacing(bool smallIcons = false) const;
    // The row under a client point (-1 for none) and its column through `column`.
    int32_t SubItemHitTest(int32_t x, int32_t y, int32_t* column = nullptr) const;

    // ---- Appearance: view, styles, colours, images ----
    // 0 large icons, 1 small icons, 2 list, 3 report.
    int32_t GetView() const;
    int32_t SetView(int32_t view);
    DWORD GetExtendedStyle() const;
    // ORs bits into the extended list style; the previous extended list style.
    DWORD AddExtendedStyle(DWORD bits);
    DWORD RemoveExtendedStyle(DWORD bits);
    // Each setter redraws the visible rows.
    COLORREF TextColour() const;
    BOOL SetTextColour(COLORREF colour);
    COLORREF TextBackColour() const;
    BOOL SetTextBackColour(COLORREF colour);
    COLORREF BackgroundColour() const;
    BOOL SetBackgroundColour(COLORREF colour);
    HBITMAP GetBackgroundImage() const;
    int32_t SetBackgroundImage(HBITMAP bitmap, ULONG flags = LVBKIF_STYLE_TILE);
    HIMAGELIST GetImageList(int32_t which = LVSIL_SMALL) const;
    HIMAGELIST SetImageList(HIMAGELIST images, int32_t which = LVSIL_SMALL);
    HIMAGELIST CreateDragImage(int32_t row, POINT* upperLeft = nullptr);

    // ---- Events: each receives two integers; a registration returns the handler ----
    virtual EventHandler SetItemSelectedHandler(EventHandler handler);
    EventHandler SetHotTrackHandler(EventHandler handler);
    EventHandler SetColumnClickHandler(EventHandler handler);
    EventHandler SetItemActivateHandler(EventHandler handler);
    EventHandler SetBeginLabelEditHandler(EventHandler handler);
    EventHandler SetEndLabelEditHandler(EventHandler handler);
    EventHandler SetClickHandler(EventHandler handler);
    EventHandler SetRightClickHandler(EventHandler handler);
    EventHandler SetDoubleClickHandler(EventHandler handler);
    EventHandler SetCheckChangedHandler(EventHandler handler);

  protected:
    ListViewControl(const ListViewControl&) = default;
    // The list view's notifications, reflected from the parent, raise the list events.
    LRESULT NotificationHook(HWND parent, HWND sender, int32_t code, UINT_PTR senderId,
                             LPARAM lParam) override;
    void Reset(HWND hwnd) override;

  private:
    LRESULT SendToList(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const;
    // LVM_GETITEMW for the fields of `mask`; false when the item does not exist.
    bool ReadItem(LVITEMW& item, int32_t row, UINT mask, int32_t column = 0) const;
    int32_t WriteItem(LVITEMW& item, int32_t row, UINT mask, int32_t column = 0);
    bool ReadColumn(LVCOLUMNW& column, int32_t index, UINT mask) const;
    int32_t WriteColumn(LVCOLUMNW& column, int32_t index, UINT mask);
    int32_t SetItemState(int32_t row, UINT state, UINT stateMask);
    std::vector<int32_t> RowsWhere(UINT stateMask, bool (*matches)(UINT state)) const;
    BOOL SetColour(UINT setMessage, COLORREF colour);

    EventHandler onRightClick_;
    EventHandler onClick_;
    EventHandler onDoubleClick_;
    EventHandler onBeginLabelEdit_;
    EventHandler onEndLabelEdit_;
    EventHandler onCheckChanged_;
    EventHandler onItemSelected_;
    EventHandler onHotTrack_;
    EventHandler onItemActivate_;
    EventHandler onColumnClick_;
};
