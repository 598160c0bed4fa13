#include "ui/menu_object.h"

#include "ui/control_object.h"

namespace {

UINT PositionFlag(bool byPosition) {
    return byPosition ? MF_BYPOSITION : MF_BYCOMMAND;
}

int32_t AsFlag(BOOL result) {
    return result ? 1 : 0;
}

// Win32 returns (UINT)-1 for "none"; keep that as -1 in the signed result.
int32_t AsSigned(UINT value) {
    return static_cast<int32_t>(value);
}

HINSTANCE ModuleInstance() {
    return LibraryInstance ? LibraryInstance : GetModuleHandleW(nullptr);
}

}  // namespace

MenuObject::~MenuObject() = default;

std::unique_ptr<MenuObject> MenuObject::Clone() const {
    return std::unique_ptr<MenuObject>(new MenuObject(*this));
}

int32_t MenuObject::TakeNew(HMENU menu) {
    if (!menu)
        return 0;
    menu_ = menu;
    return 1;
}

int32_t MenuObject::CreateBar() {
    return menu_ ? 0 : TakeNew(CreateMenu());
}

int32_t MenuObject::CreatePopup() {
    return menu_ ? 0 : TakeNew(CreatePopupMenu());
}

int32_t MenuObject::FromSystemMenu(HWND window) {
    return menu_ ? 0 : TakeNew(GetSystemMenu(window, FALSE));
}

int32_t MenuObject::Load(const TextBlock& name) {
    return menu_ ? 0 : TakeNew(LoadMenuW(ModuleInstance(), name.Wide()));
}

int32_t MenuObject::Destroy() {
    const BOOL destroyed = menu_ ? DestroyMenu(menu_) : FALSE;
    menu_ = nullptr;
    backgroundBrush_.Reset();
    return AsFlag(destroyed);
}

void MenuObject::RevertSystemMenu(HWND window) {
    GetSystemMenu(window, TRUE);
}

HMENU MenuObject::GetHandle() const {
    return menu_;
}

int32_t MenuObject::Attach(HMENU menu) {
    return menu_ ? 0 : TakeNew(menu);
}

int32_t MenuObject::AppendSubMenu(const MenuObject& subMenu, const TextBlock& text) {
    return AsFlag(AppendMenuW(menu_, MF_POPUP | MF_BYPOSITION,
                              reinterpret_cast<UINT_PTR>(subMenu.GetHandle()), text.Wide()));
}

int32_t MenuObject::InsertSubMenu(const MenuObject& subMenu, const TextBlock& text,
                                  std::optional<int32_t> position) {
    const int32_t at = position.value_or(GetMenuItemCount(menu_));
    return AsFlag(InsertMenuW(menu_, static_cast<UINT>(at), MF_POPUP | MF_BYPOSITION,
                              reinterpret_cast<UINT_PTR>(subMenu.GetHandle()), text.Wide()));
}

int32_t MenuObject::SetToWindow(HWND window) {
    if (!SetMenu(window, menu_))
        return 0;
    return AsFlag(DrawMenuBar(window));
}

int32_t MenuObject::ApplyBackground(HBRUSH brush, bool applyToSubmenus) {
    // The previous brush may still paint the menu until SetMenuInfo replaces it, so it is
    // released only after the new one is in place.
    UniqueBrush previous = std::move(backgroundBrush_);
    if (!brush)
        return 0;
    backgroundBrush_.Reset(brush);
    MENUINFO info = {};
    info.cbSize = sizeof info;
    info.fMask = MIM_BACKGROUND | (applyToSubmenus ? MIM_APPLYTOSUBMENUS : 0);
    info.hbrBack = brush;
    return AsFlag(SetMenuInfo(menu_, &info));
}

int32_t MenuObject::SetBackColour(COLORREF colour, bool applyToSubmenus) {
    return ApplyBackground(CreateSolidBrush(colour), applyToSubmenus);
}

int32_t MenuObject::SetBackBitmap(UniqueBitmap&& bitmap, bool applyToSubmenus) {
    // The pattern brush keeps its own copy of the pixels, so the bitmap goes right away.
    const UniqueBitmap pattern = std::move(bitmap);
    return ApplyBackground(pattern ? CreatePatternBrush(pattern.Get()) : nullptr, applyToSubmenus);
}

MenuObject& MenuObject::GetSubMenu(int32_t position) const {
    MenuObject& subMenu = LibrarySubMenuObject();
    subMenu.Hold(::GetSubMenu(menu_, position));
    return subMenu;
}

int32_t MenuObject::GetItemID(int32_t position) const {
    return AsSigned(GetMenuItemID(menu_, position));
}

int32_t MenuObject::AppendItem(const TextBlock& text, UINT_PTR commandId) {
    return AsFlag(AppendMenuW(menu_, MF_STRING, commandId, text.Wide()));
}

int32_t MenuObject::AppendSeparator() {
    return AsFlag(AppendMenuW(menu_, MF_SEPARATOR, 0, nullptr));
}

int32_t MenuObject::AppendBitmap(HBITMAP bitmap, UINT_PTR commandId) {
    return AsFlag(
        AppendMenuW(menu_, MF_BITMAP, commandId, reinterpret_cast<const wchar_t*>(bitmap)));
}

int32_t MenuObject::InsertItem(int32_t position, const TextBlock& text, UINT_PTR commandId) {
    return AsFlag(InsertMenuW(menu_, static_cast<UINT>(position), MF_BYPOSITION | MF_STRING,
                              commandId, text.Wide()));
}

int32_t MenuObject::InsertSeparator(int32_t position) {
    return AsFlag(
        InsertMenuW(menu_, static_cast<UINT>(position), MF_BYPOSITION | MF_SEPARATOR, 0, nullptr));
}

int32_t MenuObject::InsertBitmap(int32_t position, HBITMAP bitmap, UINT_PTR commandId) {
    return AsFlag(InsertMenuW(menu_, static_cast<UINT>(position), MF_BYPOSITION | MF_BITMAP,
                              commandId, reinterpret_cast<const wchar_t*>(bitmap)));
}

int32_t MenuObject::CheckRadioItem(int32_t first, int32_t last, int32_t check) {
    return AsFlag(CheckMenuRadioItem(menu_, static_cast<UINT>(first), static_cast<UINT>(last),
                                     static_cast<UINT>(check), MF_BYPOSITION));
}

int32_t MenuObject::TrackPopup(int32_t x, int32_t y, HWND owner, UINT flags) {
    // Without the foreground the menu would not close when the user clicks elsewhere.
    SetForegroundWindow(owner);
    return TrackPopupMenu(menu_, flags, x, y, 0, owner, nullptr);
}

TextBlock MenuObject::GetItemText(int32_t item, bool byPosition) const {
    const UINT flag = PositionFlag(byPosition);
    const int length = GetMenuStringW(menu_, static_cast<UINT>(item), nullptr, 0, flag);
    if (length <= 0)
        return TextBlock::EmptyWide();
    TextBlock text = TextBlock::Zeroed((length + 1) * static_cast<int32_t>(sizeof(wchar_t)));
    GetMenuStringW(menu_, static_cast<UINT>(item), reinterpret_cast<wchar_t*>(text.MutableBytes()),
                   length + 1, flag);
    return text;
}

int32_t MenuObject::ReadItemInfo(int32_t item, MENUITEMINFOW& info, bool byPosition) const {
    info.cbSize = sizeof info;
    return AsFlag(GetMenuItemInfoW(menu_, static_cast<UINT>(item), byPosition, &info));
}

RECT MenuObject::GetItemRect(HWND window, int32_t position) const {
    RECT rectangle = {};
    if (!GetMenuItemRect(window, menu_, static_cast<UINT>(position), &rectangle))
        return RECT{};
    return rectangle;
}

ULONG_PTR MenuObject::GetItemData(int32_t item, bool byPosition) const {
    MENUITEMINFOW info = {};
    info.fMask = MIIM_DATA;
    return ReadItemInfo(item, info, byPosition) ? info.dwItemData : 0;
}

int32_t MenuObject::GetItemCount() const {
    return GetMenuItemCount(menu_);
}

int32_t MenuObject::GetState(int32_t item, bool byPosition) const {
    return AsSigned(GetMenuState(menu_, static_cast<UINT>(item), PositionFlag(byPosition)));
}

int32_t MenuObject::GetDefaultItem(bool byPosition, UINT flags) const {
    return AsSigned(GetMenuDefaultItem(menu_, byPosition, flags));
}

int32_t MenuObject::ItemFromPoint(HWND window, POINT screenPoint) const {
    return MenuItemFromPoint(window, menu_, screenPoint);
}

int32_t MenuObject::RemoveItem(int32_t item, bool byPosition) {
    return AsFlag(RemoveMenu(menu_, static_cast<UINT>(item), PositionFlag(byPosition)));
}

int32_t MenuObject::CheckItem(int32_t item, bool check, bool byPosition) {
    const UINT flags = PositionFlag(byPosition) | (check ? MF_CHECKED : MF_UNCHECKED);
    return static_cast<int32_t>(CheckMenuItem(menu_, static_cast<UINT>(item), flags));
}

int32_t MenuObject::IsChecked(int32_t item, bool byPosition) const {
    // A missing item reports (UINT)-1, whose bits would otherwise read as "checked".
    const int32_t state = GetState(item, byPosition);
    return state != -1 && (state & MF_CHECKED) ? 1 : 0;
}

int32_t MenuObject::WriteOneField(int32_t item, UINT mask, const MENUITEMINFOW& fields,
                                  bool byPosition) {
    MENUITEMINFOW info = fields;
    info.fMask = mask;
    return WriteItemInfo(item, info, byPosition);
}

int32_t MenuObject::SetItemType(int32_t item, UINT type, bool byPosition) {
    MENUITEMINFOW info = {};
    info.fType = type;
    return WriteOneField(item, MIIM_FTYPE, info, byPosition);
}

int32_t MenuObject::SetItemText(int32_t item, const TextBlock& text, bool byPosition) {
    MENUITEMINFOW info = {};
    info.dwTypeData = const_cast<wchar_t*>(text.Wide());
    return WriteOneField(item, MIIM_STRING, info, byPosition);
}

int32_t MenuObject::SetItemState(int32_t item, UINT state, bool byPosition) {
    MENUITEMINFOW info = {};
    info.fState = state;
    return WriteOneField(item, MIIM_STATE, info, byPosition);
}

int32_t MenuObject::SetItemID(int32_t item, UINT commandId, bool byPosition) {
    MENUITEMINFOW info = {};
    info.wID = commandId;
    return WriteOneField(item, MIIM_ID, info, byPosition);
}

int32_t MenuObject::SetItemData(int32_t item, ULONG_PTR data, bool byPosition) {
    MENUITEMINFOW info = {};
    info.dwItemData = data;
    return WriteOneField(item, MIIM_DATA, info, byPosition);
}

int32_t MenuObject::SetItemBitmaps(int32_t item, HBITMAP unchecked, HBITMAP checked,
                                   bool byPosition) {
    return AsFlag(SetMenuItemBitmaps(menu_, static_cast<UINT>(item), PositionFlag(byPosition),
                                     unchecked, checked));
}

int32_t MenuObject::WriteItemInfo(int32_t item, const MENUITEMINFOW& info, bool byPosition) {
    MENUITEMINFOW copy = info;
    copy.cbSize = sizeof copy;
    return AsFlag(SetMenuItemInfoW(menu_, static_cast<UINT>(item), byPosition, &copy));
}

int32_t MenuObject::SetDefaultItem(int32_t item, bool byPosition) {
    return AsFlag(SetMenuDefaultItem(menu_, static_cast<UINT>(item), byPosition));
}

void MenuObject::Hold(HMENU menu) {
    menu_ = menu;
    backgroundBrush_.Reset();
}

MenuObject& LibraryMenuBarObject() {
    static MenuObject menuBar;
    return menuBar;
}

MenuObject& LibrarySubMenuObject() {
    static MenuObject subMenu;
    return subMenu;
}
