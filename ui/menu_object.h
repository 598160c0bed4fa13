// MenuObject: the library's wrapper of one Win32 menu handle. It is not a window and
// raises no events: a popup menu shown with TPM_RETURNCMD hands the chosen command back
// to its caller.
//
// The object does not own its menu: destroying the object leaves the menu alone (a menu
// set on a window goes with the window), and only Destroy destroys it. The background
// brush made by SetBackColour or SetBackBitmap belongs to the object that made it: a
// copy shares the menu but not the brush, and the brush goes with Destroy or with the
// object.
//
// Operations that address an item take a position (counted from 0) or, with byPosition
// false, a command identifier.
#pragma once

#include <windows.h>

#include <cstdint>
#include <memory>
#include <optional>

#include "runtime/text.h"
#include "ui/unique_handle.h"

class MenuObject {
  public:
    MenuObject() = default;

    // Destruction; the menu is not destroyed.
    virtual ~MenuObject();
    // A copy of the record that shares the menu.
    std::unique_ptr<MenuObject> Clone() const;

    // Take a new menu when the object holds none. 1 when a menu was taken, 0 when
    // one is already held or the system call failed.
    int32_t CreateBar();
    int32_t CreatePopup();
    int32_t FromSystemMenu(HWND window);
    // A resource of the program: a name, or "#n" for the identifier n.
    int32_t Load(const TextBlock& name);
    // Destroys the menu and the background brush; the object is empty afterwards.
    int32_t Destroy();
    // Puts the window's system menu back to its default.
    void RevertSystemMenu(HWND window);
    HMENU GetHandle() const;
    // Holds the given menu when the object holds none; 1/0.
    int32_t Attach(HMENU menu);
    // The other object's menu as a submenu under the text; 1/0. Without a position
    // the submenu goes at the end.
    int32_t AppendSubMenu(const MenuObject& subMenu, const TextBlock& text);
    int32_t InsertSubMenu(const MenuObject& subMenu, const TextBlock& text,
                          std::optional<int32_t> position = std::nullopt);
    // Makes the menu the window's menu bar and redraws it; 1/0.
    int32_t SetToWindow(HWND window);
    // The menu's background, by default also of its submenus; 1/0. SetBackBitmap
    // takes the bitmap: it is deleted once the pattern brush has been made from it.
    int32_t SetBackColour(COLORREF colour, bool applyToSubmenus = true);
    int32_t SetBackBitmap(UniqueBitmap&& bitmap, bool applyToSubmenus = true);
    // The submenu at the position, held by the library's sub-menu object; the next
    // GetSubMenu refills that same object.
    MenuObject& GetSubMenu(int32_t position) const;
    // The item's command identifier; -1 for a submenu or a missing item.
    int32_t GetItemID(int32_t position) const;
    // Append or insert items; 1/0.
    int32_t AppendItem(const TextBlock& text, UINT_PTR commandId);
    int32_t AppendSeparator();
    int32_t AppendBitmap(HBITMAP bitmap, UINT_PTR commandId);
    int32_t InsertItem(int32_t position, const TextBlock& text, UINT_PTR commandId);
    int32_t InsertSeparator(int32_t position);
    int32_t InsertBitmap(int32_t position, HBITMAP bitmap, UINT_PTR commandId);
    // Checks one item of a position range with a radio mark; 1/0.
    int32_t CheckRadioItem(int32_t first, int32_t last, int32_t check);
    // Brings the owner to the foreground, then shows the menu at the screen point.
    // With TPM_RETURNCMD the result is the chosen command, 0 when dismissed.
    int32_t TrackPopup(int32_t x, int32_t y, HWND owner, UINT flags = 0);
    // The item's text (UTF-16); the empty text for a missing item.
    TextBlock GetItemText(int32_t item, bool byPosition = true) const;
    // Fills `info` (its cbSize is set here, its fMask says what to read); 1/0.
    int32_t ReadItemInfo(int32_t item, MENUITEMINFOW& info, bool byPosition = true) const;
    // The item's screen rectangle in the window's menu; empty when there is none.
    RECT GetItemRect(HWND window, int32_t position) const;
    // The application value stored with the item; 0 when there is none.
    ULONG_PTR GetItemData(int32_t item, bool byPosition = true) const;
    // -1 when the object holds no menu.
    int32_t GetItemCount() const;
    // The MF_ state flags; -1 for a missing item.
    int32_t GetState(int32_t item, bool byPosition = true) const;
    // The default item; -1 when there is none.
    int32_t GetDefaultItem(bool byPosition = false, UINT flags = 0) const;
    // The position of the item at the screen point, -1 when none.
    int32_t ItemFromPoint(HWND window, POINT screenPoint) const;
    // Removes the item without destroying a submenu of it; 1/0.
    int32_t RemoveItem(int32_t item, bool byPosition = true);
    // The previous check state (MF_CHECKED or MF_UNCHECKED), -1 for a missing item.
    int32_t CheckItem(int32_t item, bool check, bool byPosition = true);
    // 1 when the item carries a check mark, 0 otherwise (also for a missing item).
    int32_t IsChecked(int32_t item, bool byPosition = true) const;
    // Each writes one field of the item; 1/0.
    int32_t SetItemType(int32_t item, UINT type, bool byPosition = true);
    int32_t SetItemText(int32_t item, const TextBlock& text, bool byPosition = true);
    int32_t SetItemState(int32_t item, UINT state, bool byPosition = true);
    int32_t SetItemID(int32_t item, UINT commandId, bool byPosition = true);
    int32_t SetItemData(int32_t item, ULONG_PTR data, bool byPosition = true);
    // The bitmaps shown beside the item when unchecked and checked; 1/0.
    int32_t SetItemBitmaps(int32_t item, HBITMAP unchecked, HBITMAP checked,
                           bool byPosition = true);
    // Writes what `info`'s fMask names (its cbSize is set here); 1/0.
    int32_t WriteItemInfo(int32_t item, const MENUITEMINFOW& info, bool byPosition = true);
    // Makes the item the default (bold) one; 1/0.
    int32_t SetDefaultItem(int32_t item, bool byPosition = true);

    // Refills the object with a menu it does not take charge of (the library's own menu
    // objects use this); the previous menu is left alone.
    void Hold(HMENU menu);

  protected:
    // A copy of the menu handle; the brush stays with the original.
    MenuObject(const MenuObject& other) : menu_(other.menu_) {}
    MenuObject& operator=(const MenuObject&) = delete;

  private:
    int32_t TakeNew(HMENU menu);
    int32_t ApplyBackground(HBRUSH brush, bool applyToSubmenus);
    int32_t WriteOneField(int32_t item, UINT mask, const MENUITEMINFOW& fields, bool byPosition);

    HMENU menu_ = nullptr;
    UniqueBrush backgroundBrush_;
};

// The library's own menu objects, alive for the whole process: the one that a window's
// menu-bar operation fills with GetMenu and hands out, and the one GetSubMenu fills.
MenuObject& LibraryMenuBarObject();
MenuObject& LibrarySubMenuObject();
