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
    LRESULT NotificationHook(HWND parent, HWND sender, int32_t code, UINT_PTR senderId,
                             LPARAM lParam) override;
    void Reset(HWND hwnd) override;
    // Redraws the visible rows instead of UpdateWindow.
    BOOL Update() override;

    // ---- list view operations, in table order ----
    // 1: a child list view with WS_CHILD | WS_VISIBLE and the extended list style 0x402.
    virtual int32_t Create(HWND parent, DWORD style, int32_t x, int32_t y, int32_t width = 100,
                           int32_t height = 120, DWORD extendedStyle = WS_EX_CLIENTEDGE);
    virtual int32_t CreateFromDialogItem(HWND dialog, int32_t itemId, bool setFont = true);  // 2
    virtual int32_t FromWindow(HWND hwnd);                                                   // 3
    // 4: at most kMaximumTextLength units; an empty text when the cell does not exist.
    virtual TextBlock GetItemText(int32_t row, int32_t column = 0) const;
    virtual int32_t GetItemImage(int32_t row, int32_t column = 0) const;  // 5
    virtual int32_t GetCheckState(int32_t row) const;                     // 6
    virtual int32_t GetItemIndent(int32_t row) const;                     // 7
    virtual LPARAM GetItemData(int32_t row) const;                        // 8
    virtual int32_t SetItemText(int32_t row, int32_t column = 0,
                                const TextBlock& text = TextBlock());  // 9
    virtual int32_t SetItemImage(int32_t row, std::optional<int32_t> image = std::nullopt,
                                 int32_t column = 0);  // 10
    virtual int32_t SetCheckState(int32_t row,
                                  std::optional<int32_t> checkState = std::nullopt);  // 11
    virtual int32_t SetItemIndent(int32_t row, int32_t indent);                       // 12
    virtual int32_t SetItemData(int32_t row, LPARAM data);                            // 13
    virtual std::vector<int32_t> GetSelectedItems() const;                            // 14
    // 15: the rows whose state image is set and is not the unchecked one.
    virtual std::vector<int32_t> GetCheckedItems() const;
    virtual int32_t GetSelectedCount() const;           // 16
    virtual int32_t IsItemSelected(int32_t row) const;  // 17
    virtual int32_t GetSelectionMark() const;           // 18
    virtual int32_t SetSelectionMark(int32_t row);      // 19
    virtual int32_t GetItemCount() const;               // 20
    virtual int32_t SelectItem(int32_t row);            // 21
    virtual int32_t DeselectItem(int32_t row);          // 22 (-1: all)
    // 23: appends when the row is absent or -1; the new row's index, -1 on failure.
    virtual int32_t InsertItem(std::optional<int32_t> row = std::nullopt,
                               const TextBlock& text = TextBlock(),
                               std::optional<int32_t> image = std::nullopt,
                               std::optional<int32_t> checkState = std::nullopt, int32_t indent = 0,
                               LPARAM data = 0);
    virtual int32_t SortItems(PFNLVCOMPARE compare, LPARAM parameter = 0);  // 24
    virtual int32_t DeleteItem(int32_t row);                                // 25
    virtual int32_t DeleteColumn(int32_t column);                           // 26
    virtual int32_t DeleteAllItems();                                       // 27
    // 28: searches after `start` (-1: from the top); the row found or -1.
    virtual int32_t FindItemByText(const TextBlock& text, bool exact = true, int32_t start = -1,
                                   bool wrap = false) const;
    virtual int32_t FindItemByData(LPARAM data, int32_t start = -1,
                                   bool wrap = false) const;                         // 29
    virtual int32_t EnsureVisible(int32_t row, bool partialAllowed = true);          // 30
    virtual int32_t Arrange();                                                       // 31
    virtual TextBlock GetColumnText(int32_t column) const;                           // 32
    virtual int32_t GetColumnFormat(int32_t column) const;                           // 33
    virtual int32_t SetColumnText(int32_t column, const TextBlock& text);            // 34
    virtual int32_t GetColumnWidth(int32_t column) const;                            // 35
    virtual int32_t GetSelectedColumn() const;                                       // 36
    virtual void SetSelectedColumn(int32_t column);                                  // 37
    virtual int32_t GetColumnImage(int32_t column) const;                            // 38
    virtual int32_t GetColumnOrder(int32_t column) const;                            // 39
    virtual int32_t SetColumnFormat(int32_t column, int32_t format);                 // 40
    virtual int32_t SetColumnWidth(int32_t column, int32_t width = LVSCW_AUTOSIZE);  // 41
    virtual int32_t SetColumnImage(int32_t column, int32_t image);                   // 42
    virtual int32_t GetColumnCount() const;                                          // 43
    // 44: appends when the column is absent or -1; the new column's index, -1 on failure.
    virtual int32_t InsertColumn(std::optional<int32_t> column = std::nullopt,
                                 const TextBlock& title = TextBlock(), int32_t width = 50,
                                 int32_t format = LVCFMT_LEFT,
                                 std::optional<int32_t> image = std::nullopt,
                                 std::optional<bool> imageOnRight = std::nullopt);
    virtual RECT GetSubItemRect(int32_t row, int32_t column,
                                int32_t area = LVIR_BOUNDS) const;     // 45
    virtual HWND EditLabel(int32_t row);                               // 46
    virtual ListViewRow GetRow(int32_t row) const;                     // 47
    virtual int32_t GetAllRows(std::vector<ListViewRow>& rows) const;  // 48
    virtual int32_t GetTopIndex() const;                               // 49
    virtual int32_t GetCountPerPage() const;                           // 50
    virtual HWND GetEditControl() const;                               // 51
    virtual SIZE GetItemSpacing(bool smallIcons = false) const;        // 52
    // 53: the row under a client point (-1 for none) and its column through `column`.
    virtual int32_t SubItemHitTest(int32_t x, int32_t y, int32_t* column = nullptr) const;
    virtual POINT GetItemPosition(int32_t row) const;                                 // 54
    virtual RECT GetItemRect(int32_t row, int32_t area = LVIR_BOUNDS) const;          // 55
    virtual int32_t SetItemPosition(int32_t row, int32_t x, int32_t y);               // 56
    virtual HIMAGELIST GetImageList(int32_t which = LVSIL_SMALL) const;               // 57
    virtual HIMAGELIST SetImageList(HIMAGELIST images, int32_t which = LVSIL_SMALL);  // 58
    virtual HIMAGELIST CreateDragImage(int32_t row, POINT* upperLeft = nullptr);      // 59
    virtual int32_t Scroll(int32_t dx, int32_t dy);                                   // 60
    // 61: ORs bits into the extended list style; the previous extended list style.
    virtual DWORD AddExtendedStyle(DWORD bits);
    virtual DWORD GetExtendedStyle() const;         // 62
    virtual DWORD RemoveExtendedStyle(DWORD bits);  // 63
    virtual HBITMAP GetBackgroundImage() const;     // 64
    virtual int32_t SetBackgroundImage(HBITMAP bitmap,
                                       ULONG flags = LVBKIF_STYLE_TILE);  // 65
    // 66 to 68: without a colour, read it; with one, set it and redraw the visible rows.
    virtual COLORREF TextColor(std::optional<COLORREF> colour = std::nullopt);
    virtual COLORREF TextBackColor(std::optional<COLORREF> colour = std::nullopt);
    virtual COLORREF BackgroundColor(std::optional<COLORREF> colour = std::nullopt);
    // 69: 0 large icons, 1 small icons, 2 list, 3 report.
    virtual int32_t GetView() const;
    virtual HWND GetHeader() const;         // 70
    virtual int32_t SetView(int32_t view);  // 71
    // 72 to 81: each stores its handler and returns it.
    virtual EventHandler SetItemSelectedHandler(EventHandler handler);
    virtual EventHandler SetHotTrackHandler(EventHandler handler);
    virtual EventHandler SetColumnClickHandler(EventHandler handler);
    virtual EventHandler SetItemActivateHandler(EventHandler handler);
    virtual EventHandler SetBeginLabelEditHandler(EventHandler handler);
    virtual EventHandler SetEndLabelEditHandler(EventHandler handler);
    virtual EventHandler SetClickHandler(EventHandler handler);
    virtual EventHandler SetRightClickHandler(EventHandler handler);
    virtual EventHandler SetDoubleClickHandler(EventHandler handler);
    virtual EventHandler SetCheckChangedHandler(EventHandler handler);

  protected:
    ListViewControl(const ListViewControl&) = default;

  private:
    LRESULT SendToList(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const;
    // LVM_GETITEMW for the fields of `mask`; false when the item does not exist.
    bool ReadItem(LVITEMW& item, int32_t row, UINT mask, int32_t column = 0) const;
    int32_t WriteItem(LVITEMW& item, int32_t row, UINT mask, int32_t column = 0);
    bool ReadColumn(LVCOLUMNW& column, int32_t index, UINT mask) const;
    int32_t WriteColumn(LVCOLUMNW& column, int32_t index, UINT mask);
    int32_t SetItemState(int32_t row, UINT state, UINT stateMask);
    std::vector<int32_t> RowsWhere(UINT stateMask, bool (*matches)(UINT state)) const;
    COLORREF Colour(UINT getMessage, UINT setMessage, std::optional<COLORREF> colour);

    // The handler words, in this order.
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
