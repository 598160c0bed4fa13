// MenuObject: the library's wrapper of one Win32 menu handle. It is not a window and
// raises no events: a popup menu shown with TPM_RETURNCMD hands the chosen command back
// to its caller. Its virtual functions are its method table, in slot order.
//
// The object does not own its menu: destroying the object leaves the menu alone (a menu
// set on a window goes with the window), and only Destroy destroys it. The background
// brush made by SetBackColor or SetBackBitmap is shared by the copies of an object and
// deleted when the last of them lets go of it or Destroy runs.
//
// Operations that address an item take a position (counted from 0) or, with byPosition
// false, a command identifier.
#pragma once

#include <windows.h>

#include <cstdint>
#include <memory>
#include <optional>
#include <type_traits>

#include "runtime/text.h"

class MenuObject {
  public:
    MenuObject() = default;

    // 1: destruction; the menu is not destroyed.
    virtual ~MenuObject();
    // 2: a copy of the record; the copy shares the menu and the brush.
    virtual std::unique_ptr<MenuObject> Clone() const;

    // 3 to 6: take a new menu when the object holds none. 1 when a menu was taken, 0 when
    // one is already held or the system call failed.
    virtual int32_t CreateBar();
    virtual int32_t CreatePopup();
    virtual int32_t FromSystemMenu(HWND window);
    // A resource of the program: a name, or "#n" for the identifier n.
    virtual int32_t Load(const TextBlock& name);
    // 7: destroys the menu and the background brush; the object is empty afterwards.
    virtual int32_t Destroy();
    // 8: puts the window's system menu back to its default.
    virtual void RevertSystemMenu(HWND window);
    // 9
    virtual HMENU GetHandle() const;
    // 10: holds the given menu when the object holds none; 1/0.
    virtual int32_t Attach(HMENU menu);
    // 11, 12: the other object's menu as a submenu under the text; 1/0. Without a position
    // the submenu goes at the end.
    virtual int32_t AppendSubMenu(const MenuObject& subMenu, const TextBlock& text);
    virtual int32_t InsertSubMenu(const MenuObject& subMenu, const TextBlock& text,
                                  std::optional<int32_t> position = std::nullopt);
    // 13: makes the menu the window's menu bar and redraws it; 1/0.
    virtual int32_t SetToWindow(HWND window);
    // 14, 15: the menu's background, by default also of its submenus; 1/0. SetBackBitmap
    // takes the bitmap: it is deleted once the pattern brush has been made from it.
    virtual int32_t SetBackColor(COLORREF colour, bool applyToSubmenus = true);
    virtual int32_t SetBackBitmap(HBITMAP bitmap, bool applyToSubmenus = true);
    // 16: the submenu at the position, held by the library's sub-menu object; the next
    // GetSubMenu refills that same object.
    virtual MenuObject& GetSubMenu(int32_t position) const;
    // 17: the item's command identifier; -1 for a submenu or a missing item.
    virtual int32_t GetItemID(int32_t position) const;
    // 18 to 23: append or insert items; 1/0.
    virtual int32_t AppendItem(const TextBlock& text, UINT_PTR commandId);
    virtual int32_t AppendSeparator();
    virtual int32_t AppendBitmap(HBITMAP bitmap, UINT_PTR commandId);
    virtual int32_t InsertItem(int32_t position, const TextBlock& text, UINT_PTR commandId);
    virtual int32_t InsertSeparator(int32_t position);
    virtual int32_t InsertBitmap(int32_t position, HBITMAP bitmap, UINT_PTR commandId);
    // 24: checks one item of a position range with a radio mark; 1/0.
    virtual int32_t CheckRadioItem(int32_t first, int32_t last, int32_t check);
    // 25: brings the owner to the foreground, then shows the menu at the screen point.
    // With TPM_RETURNCMD the result is the chosen command, 0 when dismissed.
    virtual int32_t TrackPopup(int32_t x, int32_t y, HWND owner, UINT flags = 0);
    // 26: the item's text (UTF-16); the empty text for a missing item.
    virtual TextBlock GetItemText(int32_t item, bool byPosition = true) const;
    // 27: fills `info` (its cbSize is set here, its fMask says what to read); 1/0.
    virtual int32_t ReadItemInfo(int32_t item, MENUITEMINFOW& info, bool byPosition = true) const;
    // 28: the item's screen rectangle in the window's menu; empty when there is none.
    virtual RECT GetItemRect(HWND window, int32_t position) const;
    // 29: the application value stored with the item; 0 when there is none.
    virtual ULONG_PTR GetItemData(int32_t item, bool byPosition = true) const;
    // 30: -1 when the object holds no menu.
    virtual int32_t GetItemCount() const;
    // 31: the MF_ state flags; -1 for a missing item.
    virtual int32_t GetState(int32_t item, bool byPosition = true) const;
    // 32: the default item; -1 when there is none.
    virtual int32_t GetDefaultItem(bool byPosition = false, UINT flags = 0) const;
    // 33: the position of the item at the screen point, -1 when none.
    virtual int32_t ItemFromPoint(HWND window, POINT screenPoint) const;
    // 34: removes the item without destroying a submenu of it; 1/0.
    virtual int32_t RemoveItem(int32_t item, bool byPosition = true);
    // 35: the previous check state (MF_CHECKED or MF_UNCHECKED), -1 for a missing item.
    virtual int32_t CheckItem(int32_t item, bool check, bool byPosition = true);
    // 36: 1 when the item carries a check mark, 0 otherwise (also for a missing item).
    virtual int32_t IsChecked(int32_t item, bool byPosition = true) const;
    // 37 to 41: each writes one field of the item; 1/0.
    virtual int32_t SetItemType(int32_t item, UINT type, bool byPosition = true);
    virtual int32_t SetItemText(int32_t item, const TextBlock& text, bool byPosition = true);
    virtual int32_t SetItemState(int32_t item, UINT state, bool byPosition = true);
    virtual int32_t SetItemID(int32_t item, UINT commandId, bool byPosition = true);
    virtual int32_t SetItemData(int32_t item, ULONG_PTR data, bool byPosition = true);
    // 42: the bitmaps shown beside the item when unchecked and checked; 1/0.
    virtual int32_t SetItemBitmaps(int32_t item, HBITMAP unchecked, HBITMAP checked,
                                   bool byPosition = true);
    // 43: writes what `info`'s fMask names (its cbSize is set here); 1/0.
    virtual int32_t WriteItemInfo(int32_t item, const MENUITEMINFOW& info, bool byPosition = true);
    // 44: makes the item the default (bold) one; 1/0.
    virtual int32_t SetDefaultItem(int32_t item, bool byPosition = true);

    // Refills the object with a menu it does not take charge of (the library's own menu
    // objects use this); the previous menu is left alone.
    void Hold(HMENU menu);

  protected:
    MenuObject(const MenuObject&) = default;
    MenuObject& operator=(const MenuObject&) = default;

  private:
    int32_t TakeNew(HMENU menu);
    int32_t ApplyBackground(HBRUSH brush, bool applyToSubmenus);
    int32_t WriteOneField(int32_t item, UINT mask, const MENUITEMINFOW& fields, bool byPosition);

    HMENU menu_ = nullptr;
    std::shared_ptr<std::remove_pointer_t<HBRUSH>> backgroundBrush_;
};

// The library's own menu objects, alive for the whole process: the one that a window's
// menu-bar operation fills with GetMenu and hands out, and the one GetSubMenu fills.
MenuObject& LibraryMenuBarObject();
MenuObject& LibrarySubMenuObject();
