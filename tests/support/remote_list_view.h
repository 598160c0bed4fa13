// A list view of another process, read through memory allocated inside that process
// (VirtualAllocEx, LVM_GETITEMTEXTW, ReadProcessMemory).
#pragma once

#include <windows.h>

#include <string>
#include <vector>

class RemoteListView {
  public:
    explicit RemoteListView(HWND listView);
    ~RemoteListView();
    RemoteListView(const RemoteListView&) = delete;
    RemoteListView& operator=(const RemoteListView&) = delete;

    bool Ready() const { return remote_ != nullptr; }
    HWND Handle() const { return listView_; }

    int ItemCount() const;
    std::wstring Text(int row, int column) const;
    std::vector<std::wstring> Column(int column) const;  // every row's cell
    int SelectionMark() const;
    bool IsSelected(int row) const;
    int FocusedRow() const;  // -1 when no row has the focus
    // Writes a cell, as the program itself would.
    bool SetText(int row, int column, const std::wstring& text) const;
    // Makes `row` the only selected row, the focused row and the selection mark.
    bool SelectOnly(int row) const;
    // Selects or deselects `row`, and gives it the focus and the selection mark when asked,
    // as Ctrl+click does. Real Ctrl+clicks are unreliable under Wine on Xvfb: a pointer event
    // from the X server may reset the injected Ctrl key's state, making the click a plain one.
    bool SetSelected(int row, bool selected, bool focus) const;
    // Row rectangle (LVIR_BOUNDS) in the list view's client coordinates.
    RECT ItemRect(int row) const;
    // Screen point in the middle of a cell of the row (column given by its left edge).
    POINT CellCentreOnScreen(int row, int column) const;
    // The header of a column: its format (HDF_SORTUP, HDF_SORTDOWN...), and the screen point
    // in its middle.
    int HeaderFormat(int column) const;
    POINT HeaderCentreOnScreen(int column) const;

  private:
    bool SetState(int row, UINT mask, UINT state) const;
    template <class T>
    bool Write(const T& value, size_t offset = 0) const;
    template <class T>
    bool Read(T& value, size_t offset = 0) const;

    HWND listView_;
    HANDLE process_ = nullptr;
    void* remote_ = nullptr;
};
