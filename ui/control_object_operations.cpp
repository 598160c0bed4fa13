// The shared window operations of every ControlObject. Each acts on the object's window
// handle; on a detached object that is the null handle, so the system
// calls fail and their failure values come back.
#include "ui/control_object.h"

#include <shellapi.h>

#include <algorithm>
#include <cstring>
#include <vector>

#include "ui/unique_handle.h"

namespace {

constexpr UINT kFrameChanged =
    SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED;

// Sets or clears bits of a window long and lets the frame be recomputed; the old value.
LONG ChangeWindowLong(HWND hwnd, int index, LONG set, LONG clear) {
    const LONG old = GetWindowLongW(hwnd, index);
    SetWindowLongW(hwnd, index, (old | set) & ~clear);
    SetWindowPos(hwnd, nullptr, 0, 0, 0, 0, kFrameChanged);
    return old;
}

// Gives a region to the window; the window system owns it from then on, a refused one
// is deleted by its owner here.
int32_t GiveRegion(HWND hwnd, UniqueRegion&& region, bool redraw) {
    if (!SetWindowRgn(hwnd, region.Get(), redraw))
        return 0;
    region.Release();
    return 1;
}

// COLORREF (0x00BBGGRR) as a 32-bit DIB pixel (0x00RRGGBB).
uint32_t PixelOf(COLORREF colour) {
    return (GetRValue(colour) << 16) | (GetGValue(colour) << 8) | GetBValue(colour);
}

// Collects row rectangles and turns them into one region, 1000 rectangles at a time.
class RegionBuilder {
  public:
    void Add(LONG left, LONG top, LONG right, LONG bottom) {
        batch_.push_back({left, top, right, bottom});
        if (batch_.size() == kBatch)
            Flush();
    }
    // The region of every rectangle added; null when there were none.
    HRGN Finish() {
        Flush();
        return result_.Release();
    }

  private:
    static constexpr size_t kBatch = 1000;

    void Flush() {
        if (batch_.empty())
            return;
        std::vector<uint8_t> buffer(sizeof(RGNDATAHEADER) + batch_.size() * sizeof(RECT));
        auto* data = reinterpret_cast<RGNDATA*>(buffer.data());
        RECT bounds = batch_.front();
        for (const RECT& r : batch_) {
            bounds.left = std::min(bounds.left, r.left);
            bounds.top = std::min(bounds.top, r.top);
            bounds.right = std::max(bounds.right, r.right);
            bounds.bottom = std::max(bounds.bottom, r.bottom);
        }
        data->rdh.dwSize = sizeof(RGNDATAHEADER);
        data->rdh.iType = RDH_RECTANGLES;
        data->rdh.nCount = static_cast<DWORD>(batch_.size());
        data->rdh.nRgnSize = static_cast<DWORD>(batch_.size() * sizeof(RECT));
        data->rdh.rcBound = bounds;
        memcpy(data->Buffer, batch_.data(), batch_.size() * sizeof(RECT));
        UniqueRegion part(ExtCreateRegion(nullptr, static_cast<DWORD>(buffer.size()), data));
        batch_.clear();
        if (!part)
            return;
        if (!result_)
            result_ = std::move(part);
        else
            CombineRgn(result_.Get(), result_.Get(), part.Get(), RGN_OR);
    }

    std::vector<RECT> batch_;
    UniqueRegion result_;
};

// The opaque parts of a bitmap as a region: rows from the top down, each maximal run of
// pixels that differ from `transparent` becoming a one-pixel-high rectangle.
HRGN RegionOfBitmap(HBITMAP bitmap, COLORREF transparent) {
    BITMAP info{};
    if (!GetObjectA(bitmap, sizeof(info), &info) || info.bmWidth <= 0 || info.bmHeight <= 0)
        return nullptr;
    const LONG width = info.bmWidth;
    const LONG height = info.bmHeight;

    BITMAPINFO format{};
    format.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    format.bmiHeader.biWidth = width;
    format.bmiHeader.biHeight = -height;  // top-down rows
    format.bmiHeader.biPlanes = 1;
    format.bmiHeader.biBitCount = 32;
    format.bmiHeader.biCompression = BI_RGB;

    UniqueMemoryDc source(CreateCompatibleDC(nullptr));
    UniqueMemoryDc target(CreateCompatibleDC(nullptr));
    if (!source || !target)
        return nullptr;
    void* bits = nullptr;
    UniqueBitmap copy(CreateDIBSection(target.Get(), &format, DIB_RGB_COLORS, &bits, nullptr, 0));
    if (!copy || !bits)
        return nullptr;
    const HGDIOBJ oldSource = SelectObject(source.Get(), bitmap);
    const HGDIOBJ oldTarget = SelectObject(target.Get(), copy.Get());
    BitBlt(target.Get(), 0, 0, width, height, source.Get(), 0, 0, SRCCOPY);
    GdiFlush();

    const uint32_t clear = PixelOf(transparent);
    const auto* pixels = static_cast<const uint32_t*>(bits);
    RegionBuilder builder;
    for (LONG y = 0; y < height; ++y) {
        const uint32_t* row = pixels + static_cast<size_t>(y) * static_cast<size_t>(width);
        LONG x = 0;
        while (x < width) {
            while (x < width && (row[x] & 0xFFFFFF) == clear)
                ++x;
            const LONG start = x;
            while (x < width && (row[x] & 0xFFFFFF) != clear)
                ++x;
            if (x > start)
                builder.Add(start, y, x, y + 1);
        }
    }
    SelectObject(source.Get(), oldSource);
    SelectObject(target.Get(), oldTarget);
    return builder.Finish();
}

}  // namespace

HWND ControlObject::Handle() const {
    return window_;
}

TextBlock ControlObject::ClassName() const {
    wchar_t name[MAX_PATH];
    if (GetClassNameW(window_, name, MAX_PATH) == 0)
        return TextBlock::EmptyWide();
    return TextBlock::FromWide(name);
}

LONG ControlObject::ControlId() const {
    return static_cast<LONG>(GetWindowLongPtrW(window_, GWLP_ID));
}

int32_t ControlObject::Exists() const {
    return IsWindow(window_) ? 1 : 0;
}

void ControlObject::Close() {
    if (window_)
        SendMessageW(window_, WM_CLOSE, 0, 0);
}

HWND ControlObject::Focus() {
    return SetFocus(window_);
}

int32_t ControlObject::HasFocus() const {
    return GetFocus() == window_ ? 1 : 0;
}

RECT ControlObject::ClientRectangle() const {
    RECT rectangle{};
    GetClientRect(window_, &rectangle);
    return rectangle;
}

RECT ControlObject::RectangleInParent() const {
    RECT rectangle{};
    GetWindowRect(window_, &rectangle);
    // A window without parent or owner keeps screen coordinates (the conversion fails).
    const HWND parent = GetParent(window_);
    POINT corners[2] = {{rectangle.left, rectangle.top}, {rectangle.right, rectangle.bottom}};
    if (ScreenToClient(parent, &corners[0]) && ScreenToClient(parent, &corners[1]))
        rectangle = {corners[0].x, corners[0].y, corners[1].x, corners[1].y};
    return rectangle;
}

void ControlObject::SuspendRedraw() {
    SendMessageW(window_, WM_SETREDRAW, 0, 0);
}

void ControlObject::ResumeRedraw() {
    SendMessageW(window_, WM_SETREDRAW, 1, 0);
}

BOOL ControlObject::Invalidate(bool erase) {
    return InvalidateRect(window_, nullptr, erase);
}

BOOL ControlObject::InvalidateRectangle(const RECT& rectangle, bool erase) {
    return InvalidateRect(window_, &rectangle, erase);
}

BOOL ControlObject::Validate() {
    return ValidateRect(window_, nullptr);
}

BOOL ControlObject::Update() {
    return UpdateWindow(window_);
}

BOOL ControlObject::Move(std::optional<int32_t> x, std::optional<int32_t> y,
                         std::optional<int32_t> width, std::optional<int32_t> height,
                         bool repaint) {
    const RECT now = RectangleInParent();
    return MoveWindow(window_, x.value_or(now.left), y.value_or(now.top),
                      width.value_or(now.right - now.left), height.value_or(now.bottom - now.top),
                      repaint);
}

int32_t ControlObject::Left() const {
    return RectangleInParent().left;
}

int32_t ControlObject::Top() const {
    return RectangleInParent().top;
}

int32_t ControlObject::Width() const {
    const RECT now = RectangleInParent();
    return now.right - now.left;
}

int32_t ControlObject::Height() const {
    const RECT now = RectangleInParent();
    return now.bottom - now.top;
}

BOOL ControlObject::SetLeft(int32_t left, bool repaint) {
    return Move(left, std::nullopt, std::nullopt, std::nullopt, repaint);
}

BOOL ControlObject::SetTop(int32_t top, bool repaint) {
    return Move(std::nullopt, top, std::nullopt, std::nullopt, repaint);
}

BOOL ControlObject::SetWidth(int32_t width, bool repaint) {
    return Move(std::nullopt, std::nullopt, width, std::nullopt, repaint);
}

BOOL ControlObject::SetHeight(int32_t height, bool repaint) {
    return Move(std::nullopt, std::nullopt, std::nullopt, height, repaint);
}

BOOL ControlObject::ZOrder(int32_t position) {
    static const HWND kPlaces[] = {HWND_TOP, HWND_BOTTOM, HWND_TOPMOST, HWND_NOTOPMOST};
    const int32_t place = position >= 1 && position <= 4 ? position : 1;
    return SetWindowPos(window_, kPlaces[place - 1], 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE);
}

LRESULT ControlObject::Send(UINT message, WPARAM wParam, LPARAM lParam) {
    return SendMessageW(window_, message, wParam, lParam);
}

BOOL ControlObject::Post(UINT message, WPARAM wParam, LPARAM lParam) {
    return PostMessageW(window_, message, wParam, lParam);
}

HWND ControlObject::SetParentWindow(HWND parent) {
    return SetParent(window_, parent);
}

HWND ControlObject::ParentWindow() const {
    return GetParent(window_);
}

int32_t ControlObject::IsVisible() const {
    return IsWindowVisible(window_) ? 1 : 0;
}

int32_t ControlObject::SetVisible(bool visible) {
    return ShowWindow(window_, visible ? SW_SHOW : SW_HIDE) ? 1 : 0;
}

int32_t ControlObject::IsDisabled() const {
    return IsWindowEnabled(window_) ? 0 : 1;
}

int32_t ControlObject::SetDisabled(bool disabled) {
    return EnableWindow(window_, !disabled) ? 1 : 0;
}

LONG ControlObject::Style() const {
    return GetWindowLongW(window_, GWL_STYLE);
}

LONG ControlObject::AddStyle(LONG bits) {
    return ChangeWindowLong(window_, GWL_STYLE, bits, 0);
}

LONG ControlObject::RemoveStyle(LONG bits) {
    return ChangeWindowLong(window_, GWL_STYLE, 0, bits);
}

LONG ControlObject::ExtendedWindowStyle() const {
    return GetWindowLongW(window_, GWL_EXSTYLE);
}

LONG ControlObject::AddExtendedWindowStyle(LONG bits) {
    return ChangeWindowLong(window_, GWL_EXSTYLE, bits, 0);
}

LONG ControlObject::RemoveExtendedWindowStyle(LONG bits) {
    return ChangeWindowLong(window_, GWL_EXSTYLE, 0, bits);
}

TextBlock ControlObject::WindowText() const {
    const int length = GetWindowTextLengthW(window_);
    if (length <= 0)
        return TextBlock::EmptyWide();
    std::vector<wchar_t> buffer(static_cast<size_t>(length) + 1, L'\0');
    const int read = GetWindowTextW(window_, buffer.data(), length + 1);
    if (read <= 0)
        return TextBlock::EmptyWide();
    return TextBlock::FromWide(std::wstring_view(buffer.data(), static_cast<size_t>(read)));
}

int32_t ControlObject::ChangeWindowText(const TextBlock& text) {
    return SetWindowTextW(window_, text.Wide()) ? 1 : 0;
}

void ControlObject::SetWindowField(HWND hwnd) {
    window_ = hwnd;
}

int32_t ControlObject::ShowMessageBox(const TextBlock& text, UINT type, const TextBlock* caption) {
    const TextBlock defaultCaption = caption ? TextBlock() : ToUtf16(Text("信息："));
    const TextBlock& shown = caption ? *caption : defaultCaption;
    return MessageBoxW(window_, text.Wide(), shown.Wide(), type) - 1;
}

int32_t ControlObject::SetProperty(const TextBlock& name, HANDLE value) {
    return SetPropW(window_, name.Wide(), value) ? 1 : 0;
}

HANDLE ControlObject::Property(const TextBlock& name) const {
    return GetPropW(window_, name.Wide());
}

int32_t ControlObject::RemoveProperty(const TextBlock& name) {
    return RemovePropW(window_, name.Wide()) ? 1 : 0;
}

HCURSOR ControlObject::Cursor() const {
    return cursor_.Get();
}

void ControlObject::SetCursor(UniqueCursor&& cursor) {
    cursor_ = std::move(cursor);
}

LRESULT ControlObject::SetFont(HFONT font) {
    return Send(WM_SETFONT, reinterpret_cast<WPARAM>(font), 1);
}

HFONT ControlObject::Font() const {
    return reinterpret_cast<HFONT>(SendMessageW(window_, WM_GETFONT, 0, 0));
}

int32_t ControlObject::SetShape(UniqueRegion&& region) {
    return GiveRegion(window_, std::move(region), true);
}

int32_t ControlObject::ShapeFromBitmap(UniqueBitmap&& bitmap, COLORREF transparent, bool redraw) {
    UniqueRegion region(RegionOfBitmap(bitmap.Get(), transparent));
    if (!region)
        return 0;
    const int32_t result = GiveRegion(window_, std::move(region), redraw);
    bitmap.Reset();
    return result;
}

int32_t ControlObject::RoundedCorners(int32_t diameter, bool redraw) {
    RECT rectangle{};
    GetWindowRect(window_, &rectangle);
    UniqueRegion region(CreateRoundRectRgn(0, 0, rectangle.right - rectangle.left,
                                           rectangle.bottom - rectangle.top, diameter, diameter));
    return GiveRegion(window_, std::move(region), redraw);
}

void ControlObject::AcceptDroppedFiles(bool accept) {
    DragAcceptFiles(window_, accept);
}

HICON ControlObject::ClassIcon(bool large) const {
    return reinterpret_cast<HICON>(GetClassLongPtrW(window_, large ? GCLP_HICON : GCLP_HICONSM));
}

HICON ControlObject::SetClassIcon(HICON icon, bool large) {
    return reinterpret_cast<HICON>(SetClassLongPtrW(window_, large ? GCLP_HICON : GCLP_HICONSM,
                                                    reinterpret_cast<LONG_PTR>(icon)));
}

HCURSOR ControlObject::ClassCursor() const {
    return reinterpret_cast<HCURSOR>(GetClassLongPtrW(window_, GCLP_HCURSOR));
}

HCURSOR ControlObject::SetClassCursor(HCURSOR cursor) {
    return reinterpret_cast<HCURSOR>(
        SetClassLongPtrW(window_, GCLP_HCURSOR, reinterpret_cast<LONG_PTR>(cursor)));
}
