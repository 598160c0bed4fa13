// Where the main window's and the rule dialog's controls sit, and how the layout follows
// the display's DPI. Every position and size here is at 96 DPI; at another DPI each is
// scaled by DPI/96 (ScaleForDpi), so the program and the tests place and expect them
// from this one table.
#pragma once

#include <windows.h>

#include <array>
#include <cstdint>
#include <functional>
#include <initializer_list>
#include <utility>

#include "ui/unique_handle.h"

class ControlObject;
class ListViewControl;
class Window;

// A control's rectangle in its parent's client area.
struct LayoutBox {
    int32_t x;
    int32_t y;
    int32_t width;
    int32_t height;
    bool operator==(const LayoutBox&) const = default;
};

// An outer window size.
struct LayoutSize {
    int32_t width;
    int32_t height;
};

inline constexpr UINT kBaseDpi = 96;

namespace MainWindowLayout {
inline constexpr LayoutSize kWindow{1070, 640};
inline constexpr LayoutBox kFileList{8, 10, 672, 302};
inline constexpr LayoutBox kDirectoryLabel{8, 320, 112, 24};
inline constexpr LayoutBox kDirectoryEdit{125, 322, 295, 20};
inline constexpr LayoutBox kChooseFolderButton{420, 320, 78, 24};
inline constexpr LayoutBox kReadListButton{500, 320, 80, 24};
inline constexpr LayoutBox kRulesButton{582, 320, 99, 24};
inline constexpr LayoutBox kRuleList{8, 352, 672, 248};
// The preview area at the right: the media player.
inline constexpr LayoutBox kPreview{688, 10, 365, 592};
// Column widths, in column order.
inline constexpr int32_t kFileColumnWidths[] = {40, 450, 80, 80};

inline constexpr int32_t kRuleColumnWidths[] = {80, 80, 500};
// The file list's column that takes a share of the extra width: the file name.
inline constexpr int32_t kNameColumn = 1;

// The frame before the window could be resized: kWindow is its outer size. The client area
// it left is the default and smallest client area of the resizable frame.
inline constexpr DWORD kFixedFrameStyle =
    WS_CAPTION | WS_CLIPCHILDREN | WS_SYSMENU | WS_MINIMIZEBOX | WS_MAXIMIZEBOX;
inline constexpr DWORD kFrameStyle = kFixedFrameStyle | WS_THICKFRAME;
inline constexpr DWORD kFrameExtendedStyle = WS_EX_CLIENTEDGE | WS_EX_WINDOWEDGE;
}  // namespace MainWindowLayout

// The main window's controls for one client size, in client coordinates of the DPI.
struct MainWindowBoxes {
    LayoutBox fileList;
    LayoutBox directoryLabel;
    LayoutBox directoryEdit;
    LayoutBox chooseFolderButton;
    LayoutBox readListButton;
    LayoutBox rulesButton;
    LayoutBox ruleList;
    LayoutBox preview;
    int32_t nameColumnWidth;
    bool operator==(const MainWindowBoxes&) const = default;
};

// The default boxes scaled for `dpi`, with the room by which `client` exceeds
// `defaultClient` shared out: a third of the extra width (rounded down) to the file list,
// its name column, the folder edit and the rule list, the rest to the preview; the extra
// height to the file list and the preview, the rows below the list moving down by it.
// A client smaller than the default lays out as the default.
MainWindowBoxes ArrangeMainWindow(LayoutSize client, LayoutSize defaultClient, UINT dpi);

// The default client size of the main window at `dpi`: what the fixed frame of kWindow's
// outer size leaves. The default outer size is that client area in the resizable frame.
LayoutSize MainWindowDefaultClient(UINT dpi);
LayoutSize MainWindowDefaultOuter(UINT dpi);

namespace RuleDialogLayout {
inline constexpr LayoutSize kWindow{343, 272};
inline constexpr LayoutBox kHotkeyLabel{8, 8, 56, 24};
inline constexpr LayoutBox kHotkeyEdit{8, 40, 320, 20};
inline constexpr LayoutBox kOperationLabel{8, 72, 88, 24};
// The height includes the drop-down list.
inline constexpr LayoutBox kOperationCombo{8, 105, 320, 100};
inline constexpr LayoutBox kTargetLabel{8, 136, 120, 24};
inline constexpr LayoutBox kTargetEdit{8, 168, 240, 20};
inline constexpr LayoutBox kChooseTargetButton{256, 166, 72, 24};
inline constexpr LayoutBox kAddButton{176, 208, 72, 24};
inline constexpr LayoutBox kCancelButton{256, 208, 72, 24};
}  // namespace RuleDialogLayout

// value * dpi / 96, rounded to the nearest pixel.
int32_t ScaleForDpi(int32_t value, UINT dpi);
LayoutBox ScaleForDpi(const LayoutBox& box, UINT dpi);
LayoutSize ScaleForDpi(const LayoutSize& size, UINT dpi);

// The DPI a window is shown at (GetDpiForWindow where the system has it); without a
// window, or before Windows 10, the screen's.
UINT WindowDpi(HWND window = nullptr);

// The controls' fonts: the stock GUI font at 96 DPI; at any other DPI a font of the stock
// font's face at the height scaled to that DPI. A window may still use a font of an
// earlier DPI, so each is kept as long as the fonts are (a ninth DPI reuses the oldest).
class ControlFonts {
  public:
    HFONT At(UINT dpi);

  private:
    struct ScaledFont {
        UINT dpi = 0;
        UniqueHandle<HFONT, GdiObjectCloser> font;
    };
    std::array<ScaledFont, 8> fonts_;
    size_t next_ = 0;
};

// Moves each control to its box, already scaled, and gives it the font for `dpi`.
void PlaceScaledControls(ControlFonts& fonts,
                         std::initializer_list<std::pair<ControlObject*, LayoutBox>> controls,
                         UINT dpi);
// Moves each control to its box scaled for `dpi` and gives it the font for `dpi`.
void PlaceControls(ControlFonts& fonts,
                   std::initializer_list<std::pair<ControlObject*, LayoutBox>> controls, UINT dpi);
// Sets the list's column widths, given at 96 DPI, scaled for `dpi`.
void SetColumnWidths(ListViewControl& list, const int32_t* widths, size_t count, UINT dpi);
template <size_t N>
void SetColumnWidths(ListViewControl& list, const int32_t (&widths)[N], UINT dpi) {
    SetColumnWidths(list, widths, N, dpi);
}

// Calls `layOut` with the new DPI after moving the window into the rectangle that
// WM_DPICHANGED suggests, whenever that message reaches the window.
using DpiLayout = std::function<void(UINT dpi)>;
void FollowDpiChanges(Window& window, DpiLayout layOut);
