#include "app/window/layout.h"

#include <commctrl.h>

#include <algorithm>
#include <array>
#include <memory>

#include "ui/list_view_control.h"
#include "ui/unique_handle.h"
#include "ui/window.h"

namespace {

using UniqueFont = UniqueHandle<HFONT, GdiObjectCloser>;

// The DPI the system's own metrics and stock objects were made for.
UINT SystemDpi() {
    const HDC screen = GetDC(nullptr);
    const int dpi = screen ? GetDeviceCaps(screen, LOGPIXELSY) : 0;
    if (screen)
        ReleaseDC(nullptr, screen);
    return dpi > 0 ? static_cast<UINT>(dpi) : kBaseDpi;
}

// GetDpiForWindow exists from Windows 10 1607 on; the program also runs on earlier systems.
using GetDpiForWindowFunction = UINT(WINAPI*)(HWND);
GetDpiForWindowFunction FindGetDpiForWindow() {
    const HMODULE user32 = GetModuleHandleW(L"user32.dll");
    const FARPROC address = user32 ? GetProcAddress(user32, "GetDpiForWindow") : nullptr;
    // Through void(*)(), the one function pointer type meant to stand for any other.
    return reinterpret_cast<GetDpiForWindowFunction>(reinterpret_cast<void (*)()>(address));
}

}  // namespace

int32_t ScaleForDpi(int32_t value, UINT dpi) {
    return MulDiv(value, static_cast<int>(dpi), static_cast<int>(kBaseDpi));
}

LayoutBox ScaleForDpi(const LayoutBox& box, UINT dpi) {
    return {ScaleForDpi(box.x, dpi), ScaleForDpi(box.y, dpi), ScaleForDpi(box.width, dpi),
            ScaleForDpi(box.height, dpi)};
}

LayoutSize ScaleForDpi(const LayoutSize& size, UINT dpi) {
    return {ScaleForDpi(size.width, dpi), ScaleForDpi(size.height, dpi)};
}

UINT WindowDpi(HWND window) {
    static const GetDpiForWindowFunction getDpiForWindow = FindGetDpiForWindow();
    if (window && getDpiForWindow) {
        const UINT dpi = getDpiForWindow(window);
        if (dpi != 0)
            return dpi;
    }
    return SystemDpi();
}

HFONT ControlFonts::At(UINT dpi) {
    const auto stock = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
    if (dpi == kBaseDpi && SystemDpi() == kBaseDpi)
        return stock;
    for (const ScaledFont& entry : fonts_)
        if (entry.dpi == dpi && entry.font)
            return entry.font.Get();
    LOGFONTW face{};
    if (!GetObjectW(stock, sizeof face, &face))
        return stock;
    // The stock font is made for the system's DPI.
    face.lfHeight = MulDiv(face.lfHeight, static_cast<int>(dpi), static_cast<int>(SystemDpi()));
    UniqueFont font(CreateFontIndirectW(&face));
    if (!font)
        return stock;
    ScaledFont& slot = fonts_[next_++ % fonts_.size()];
    slot.dpi = dpi;
    slot.font = std::move(font);
    return slot.font.Get();
}

void PlaceScaledControls(ControlFonts& fonts,
                         std::initializer_list<std::pair<ControlObject*, LayoutBox>> controls,
                         UINT dpi) {
    const HFONT font = fonts.At(dpi);
    for (const auto& [control, box] : controls) {
        control->Move(box.x, box.y, box.width, box.height);
        control->SetFont(font);
    }
}

void PlaceControls(ControlFonts& fonts,
                   std::initializer_list<std::pair<ControlObject*, LayoutBox>> controls, UINT dpi) {
    for (const auto& [control, box] : controls)
        PlaceScaledControls(fonts, {{control, ScaleForDpi(box, dpi)}}, dpi);
}

void SetColumnWidths(ListViewControl& list, const int32_t* widths, size_t count, UINT dpi) {
    for (size_t column = 0; column < count; ++column)
        list.SetColumnWidth(static_cast<int32_t>(column), ScaleForDpi(widths[column], dpi));
}

void FollowDpiChanges(Window& window, DpiLayout layOut) {
    // A window event rather than a subclass: under Wine every message that passes a
    // common-controls subclass asks the server for the window's subclass property, and
    // the main window receives every notification of its lists.
    window.SetDpiChangeHandler(
        [&window, layOut = std::move(layOut)](UINT dpi, const RECT* suggested) {
            SetWindowPos(window.Handle(), nullptr, suggested->left, suggested->top,
                         suggested->right - suggested->left, suggested->bottom - suggested->top,
                         SWP_NOZORDER | SWP_NOACTIVATE);
            layOut(dpi);
            return 0;
        });
}

MainWindowBoxes ArrangeMainWindow(LayoutSize client, LayoutSize defaultClient, UINT dpi) {
    using namespace MainWindowLayout;
    const int32_t dw = std::max(0, client.width - defaultClient.width);
    const int32_t dh = std::max(0, client.height - defaultClient.height);
    const int32_t a = dw / 3;
    const auto moved = [dpi](const LayoutBox& box, int32_t dx, int32_t dy, int32_t grownWidth,
                             int32_t grownHeight) {
        const LayoutBox s = ScaleForDpi(box, dpi);
        return LayoutBox{s.x + dx, s.y + dy, s.width + grownWidth, s.height + grownHeight};
    };
    return {
        .fileList = moved(kFileList, 0, 0, a, dh),
        .directoryLabel = moved(kDirectoryLabel, 0, dh, 0, 0),
        .directoryEdit = moved(kDirectoryEdit, 0, dh, a, 0),
        .chooseFolderButton = moved(kChooseFolderButton, a, dh, 0, 0),
        .readListButton = moved(kReadListButton, a, dh, 0, 0),
        .rulesButton = moved(kRulesButton, a, dh, 0, 0),
        .ruleList = moved(kRuleList, 0, dh, a, 0),
        .preview = moved(kPreview, a, 0, dw - a, dh),
        .nameColumnWidth = ScaleForDpi(kFileColumnWidths[kNameColumn], dpi) + a,
    };
}

namespace {

// How much wider and taller a frame makes a client area.
LayoutSize FrameSize(DWORD style, DWORD extendedStyle) {
    RECT frame = {0, 0, 0, 0};
    AdjustWindowRectEx(&frame, style, FALSE, extendedStyle);
    return {frame.right - frame.left, frame.bottom - frame.top};
}

}  // namespace

LayoutSize MainWindowDefaultClient(UINT dpi) {
    using namespace MainWindowLayout;
    const LayoutSize outer = ScaleForDpi(kWindow, dpi);
    const LayoutSize frame = FrameSize(kFixedFrameStyle, kFrameExtendedStyle);
    return {outer.width - frame.width, outer.height - frame.height};
}

LayoutSize MainWindowDefaultOuter(UINT dpi) {
    using namespace MainWindowLayout;
    const LayoutSize client = MainWindowDefaultClient(dpi);
    const LayoutSize frame = FrameSize(kFrameStyle, kFrameExtendedStyle);
    return {client.width + frame.width, client.height + frame.height};
}
