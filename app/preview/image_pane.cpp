#include "app/preview/image_pane.h"

#include <windowsx.h>

#include <algorithm>
#include <functional>
#include <memory>
#include <system_error>

#include "app/preview/image_preview.h"
#include "app/preview/key_legend.h"
#include "app/preview/zoomed_drawing.h"
#include "runtime/guard.h"
#include "ui/unique_handle.h"

namespace {

constexpr COLORREF kMessageColour = RGB(230, 230, 230);

struct PaneState {
    UiReceiver receiver;  // closed with the pane: a preview decoded late finds nothing
    std::unique_ptr<ImagePreviewer> previewer;
    uint64_t generation = 0;
    // The focused file's best image so far; null (the background shows) until its
    // placeholder or photo is there, so another file's photo never stays.
    std::shared_ptr<const PreviewImage> shown;
    // What was asked for last, asked for again when the pane's size changes.
    PreviewRequest request;
    bool legendShown = false;
    std::vector<std::wstring> legend;
    // Full screen: on black, and the line at the bottom tells the file and its result
    // instead of its facts, until it fades.
    bool fullScreen = false;
    std::wstring line;
    std::function<void()> doubleClicked;
    // Zoomed: the view, the focused photo's own pixels once decoded, and a drag under way.
    ZoomView zoom;
    std::shared_ptr<const PreviewImage> full;
    bool dragging = false;
    POINT dragFrom = {};
};

constexpr UINT_PTR kLineFadeTimer = 1;
constexpr UINT kLineFadeMs = 2000;

COLORREF BackgroundOf(const PaneState& state) {
    return state.fullScreen ? RGB(0, 0, 0) : kPreviewBackground;
}

PaneState* StateOf(HWND pane) {
    return reinterpret_cast<PaneState*>(GetWindowLongPtrW(pane, GWLP_USERDATA));
}

int MeasureFactsLine(HWND pane) {
    const HDC dc = GetDC(pane);
    TEXTMETRICW metrics = {};
    const HGDIOBJ oldFont = SelectObject(dc, GetStockObject(DEFAULT_GUI_FONT));
    GetTextMetricsW(dc, &metrics);
    SelectObject(dc, oldFont);
    ReleaseDC(pane, dc);
    return metrics.tmHeight + 6;
}

// The height of the facts line at the pane's bottom: the text's and a little room. The stock
// font's height is the same for the program's life, so it is measured once (every step and
// paint asks for it).
int FactsLineHeight(HWND pane) {
    static const int height = MeasureFactsLine(pane);
    return height;
}

PixelSize PhotoAreaSize(HWND pane) {
    const RECT area = ImagePanePhotoArea(pane);
    return {area.right - area.left, area.bottom - area.top};
}

void DrawMessage(HDC dc, RECT client) {
    static const wchar_t kCannotPreview[] = L"无法预览此文件";
    const HGDIOBJ oldFont = SelectObject(dc, GetStockObject(DEFAULT_GUI_FONT));
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, kMessageColour);
    DrawTextW(dc, kCannotPreview, -1, &client, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    SelectObject(dc, oldFont);
}

void DrawFacts(HDC dc, RECT line, const std::wstring& facts) {
    const HGDIOBJ oldFont = SelectObject(dc, GetStockObject(DEFAULT_GUI_FONT));
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, kMessageColour);
    InflateRect(&line, -4, 0);
    DrawTextW(dc, facts.c_str(), static_cast<int>(facts.size()), &line,
              DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX | DT_END_ELLIPSIS);
    SelectObject(dc, oldFont);
}

// Where the image goes: at the size its photo is shown in the area (a placeholder or an
// image made for another size is stretched to it), centred.
RECT PhotoPlace(const PreviewImage& image, RECT area) {
    const PixelSize box = {area.right - area.left, area.bottom - area.top};
    const PixelSize shown = image.photoSize.width > 0
                                ? FitInside(image.photoSize, box)
                                : ScaleToFit({image.width, image.height}, box);
    const int x = area.left + (box.width - shown.width) / 2;
    const int y = area.top + (box.height - shown.height) / 2;
    return {x, y, x + shown.width, y + shown.height};
}

void DrawPhoto(HDC dc, const PreviewImage& image, RECT place) {
    const BITMAPINFO info = TopDownBitmapInfo(image.width, image.height);
    const int width = place.right - place.left, height = place.bottom - place.top;
    if (width == image.width && height == image.height) {
        SetDIBitsToDevice(dc, place.left, place.top, width, height, 0, 0, 0, image.height,
                          image.pixels.data(), &info, DIB_RGB_COLORS);
        return;
    }
    // Enlarged, it only stands in until the decode for this size comes, and Wine's halftone
    // takes about a second to enlarge one to a monitor: there it is sampled.
    const bool enlarged = width > image.width || height > image.height;
    const int oldMode = SetStretchBltMode(dc, enlarged ? COLORONCOLOR : HALFTONE);
    SetBrushOrgEx(dc, 0, 0, nullptr);
    StretchDIBits(dc, place.left, place.top, width, height, 0, 0, image.width, image.height,
                  image.pixels.data(), &info, DIB_RGB_COLORS, SRCCOPY);
    SetStretchBltMode(dc, oldMode);
}

void Paint(HWND pane, const PaneState& state) {
    PAINTSTRUCT paint;
    const HDC dc = BeginPaint(pane, &paint);
    RECT whole = {};
    GetClientRect(pane, &whole);
    const RECT client = ImagePanePhotoArea(pane);
    const UniqueBrush background(CreateSolidBrush(BackgroundOf(state)));
    const PreviewImage* image = state.shown.get();
    RECT line = whole;
    line.top = client.bottom;
    FillRect(dc, &line, background.Get());
    if (state.fullScreen)
        DrawFacts(dc, line, state.line);
    else if (image)
        DrawFacts(dc, line, image->facts);
    if (image && image->Decoded() && !state.zoom.Fitted()) {
        // Until the photo's own pixels are there, the fitted image stands in, scaled up.
        const PreviewImage& source = state.full ? *state.full : *image;
        const bool reduced = state.full && state.full->photoSize.width > state.full->width;
        DrawZoomed(dc, source, state.zoom, client, BackgroundOf(state),
                   !state.full ? L"正在载入原图…"
                   : reduced   ? L"已缩小显示"
                               : nullptr);
    } else if (image && image->Decoded()) {
        const RECT place = PhotoPlace(*image, client);
        // The background only around the photo, so stepping does not flicker.
        const UniqueRegion around(CreateRectRgnIndirect(&client));
        const UniqueRegion photo(CreateRectRgnIndirect(&place));
        CombineRgn(around.Get(), around.Get(), photo.Get(), RGN_DIFF);
        FillRgn(dc, around.Get(), background.Get());
        DrawPhoto(dc, *image, place);
    } else {
        FillRect(dc, &client, background.Get());
        if (image)
            DrawMessage(dc, client);
    }
    if (state.legendShown) {
        const HGDIOBJ oldFont = SelectObject(dc, GetStockObject(DEFAULT_GUI_FONT));
        DrawKeyLegend(dc, client, state.legend);
        SelectObject(dc, oldFont);
    }
    EndPaint(pane, &paint);
}

void Display(HWND pane, PaneState& state, std::shared_ptr<const PreviewImage> image) {
    state.shown = std::move(image);
    InvalidateRect(pane, nullptr, FALSE);
}

// Something new of the focused file is made: shown unless another file was asked for since.
void ShowWhenReady(HWND pane, uint64_t generation) {
    PaneState* state = StateOf(pane);
    if (!state || generation != state->generation)
        return;
    state->full = state->previewer->Full(generation);
    if (auto image = state->previewer->Ready(generation))
        Display(pane, *state, std::move(image));
}

// The photo's upright size, for the zoom; 0 x 0 while there is none.
ZoomSize ShownPhotoSize(const PaneState& state) {
    const PreviewImage* image = state.shown.get();
    if (!image || !image->Decoded())
        return {};
    const PixelSize photo =
        image->photoSize.width > 0 ? image->photoSize : PixelSize{image->width, image->height};
    return {photo.width, photo.height};
}

ZoomSize PhotoAreaZoomSize(HWND pane) {
    const PixelSize area = PhotoAreaSize(pane);
    return {area.width, area.height};
}

// A new zoom: asks for the photo's own pixels while zoomed (and no more once fitted).
void SetZoom(HWND pane, PaneState& state, ZoomView zoom) {
    const bool wasFitted = state.zoom.Fitted();
    state.zoom = zoom;
    if (wasFitted != zoom.Fitted() && !state.request.focused.empty()) {
        state.request.full = !zoom.Fitted();
        state.request.stepIntervalMs = 0;
        state.generation = state.previewer->Request(state.request);
        state.full = state.previewer->Full(state.generation);
    }
    InvalidateRect(pane, nullptr, FALSE);
}

ZoomPoint PointerIn(HWND pane) {
    POINT cursor = {};
    GetCursorPos(&cursor);
    ScreenToClient(pane, &cursor);
    return {cursor.x, cursor.y};
}

// Asks for the focused file fitted to the pane as it is now. The same file's image stays,
// stretched, until one for the new size is decoded.
void RequestForPaneSize(HWND pane, PaneState& state) {
    state.request.box = PhotoAreaSize(pane);
    state.request.stepIntervalMs = 0;  // no step: the focus rests
    state.generation = state.previewer->Request(state.request);
    if (auto image = state.previewer->Ready(state.generation))
        Display(pane, state, std::move(image));
}

UINT DecodesStartedMessage() {
    static const UINT message = RegisterWindowMessageW(L"ZemoDecodesStarted");
    return message;
}

// Makes the pane's state with its previewer; false when no thread could be started for it.
bool CreateState(HWND pane) {
    auto* created = new PaneState;
    SetWindowLongPtrW(pane, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(created));
    try {
        created->previewer = std::make_unique<ImagePreviewer>(
            created->receiver.Route(),
            [pane](uint64_t generation) { ShowWhenReady(pane, generation); },
            PreviewerOptions{.decodeWorkers = DefaultDecodeWorkers()});
    } catch (const std::system_error&) {
        return false;  // no thread: no pane (WM_NCDESTROY frees the state)
    }
    return true;
}

LRESULT HandlePaneMessage(HWND pane, UINT message, WPARAM wParam, LPARAM lParam) {
    PaneState* state = StateOf(pane);
    switch (message) {
        case WM_NCCREATE:
            if (!CreateState(pane))
                return FALSE;
            break;
        case WM_NCDESTROY:
            SetWindowLongPtrW(pane, GWLP_USERDATA, 0);
            delete state;  // joins the worker before the window handle is gone
            break;
        case WM_SIZE:
            if (state && !state->request.focused.empty())
                RequestForPaneSize(pane, *state);
            break;
        case WM_LBUTTONDOWN:
            HideKeyLegend(pane);
            if (state && !state->zoom.Fitted()) {
                state->dragging = true;
                state->dragFrom = {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
                SetCapture(pane);
            }
            break;
        case WM_MOUSEMOVE:
            if (state && state->dragging) {
                const POINT at = {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
                SetZoom(pane, *state,
                        Pan(state->zoom, at.x - state->dragFrom.x, at.y - state->dragFrom.y,
                            PhotoAreaZoomSize(pane), ShownPhotoSize(*state)));
                state->dragFrom = at;
            }
            break;
        case WM_LBUTTONUP:
        case WM_CAPTURECHANGED:
            if (state && state->dragging) {
                state->dragging = false;
                if (message == WM_LBUTTONUP)
                    ReleaseCapture();
            }
            break;
        case WM_MBUTTONDOWN:
            ToggleImagePaneZoom(pane);
            return 0;
        case WM_MOUSEWHEEL:
            if (state)
                SetZoom(pane, *state,
                        ZoomStep(state->zoom, GET_WHEEL_DELTA_WPARAM(wParam) > 0 ? 1 : -1,
                                 PointerIn(pane), PhotoAreaZoomSize(pane), ShownPhotoSize(*state)));
            return 0;
        case WM_LBUTTONDBLCLK:
            if (state && state->doubleClicked)
                state->doubleClicked();
            return 0;
        case WM_TIMER:
            if (state && wParam == kLineFadeTimer) {
                KillTimer(pane, kLineFadeTimer);
                state->line.clear();
                InvalidateRect(pane, nullptr, FALSE);
            }
            return 0;
        case WM_ERASEBKGND:
            return 1;  // WM_PAINT covers every pixel
        case WM_PAINT:
            if (state) {
                Paint(pane, *state);
                return 0;
            }
            break;
    }
    // Tests and benchmarks in other processes read how many photo decodes have started.
    if (message != 0 && message == DecodesStartedMessage() && state)
        return static_cast<LRESULT>(state->previewer->DecodesStarted());
    return DefWindowProcW(pane, message, wParam, lParam);
}

LRESULT CALLBACK PaneProcedure(HWND pane, UINT message, WPARAM wParam, LPARAM lParam) noexcept {
    return RunGuarded([&] { return HandlePaneMessage(pane, message, wParam, lParam); });
}

bool RegisterPaneClass() {
    static const bool registered = [] {
        WNDCLASSEXW paneClass = {};
        paneClass.cbSize = sizeof(paneClass);
        paneClass.style = CS_DBLCLKS;
        paneClass.lpfnWndProc = &PaneProcedure;
        paneClass.hInstance = GetModuleHandleW(nullptr);
        paneClass.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32512));  // IDC_ARROW
        paneClass.lpszClassName = kImagePaneClass;
        return RegisterClassExW(&paneClass) != 0 || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
    }();
    return registered;
}

}  // namespace

RECT ImagePanePhotoArea(HWND pane) {
    RECT area = {};
    GetClientRect(pane, &area);
    area.bottom = std::max(area.top, area.bottom - FactsLineHeight(pane));
    return area;
}

HWND CreateImagePane(HWND parent, int x, int y, int width, int height) {
    if (!RegisterPaneClass())
        return nullptr;
    return CreateWindowExW(WS_EX_CLIENTEDGE, kImagePaneClass, L"", WS_CHILD | WS_CLIPSIBLINGS, x, y,
                           width, height, parent, nullptr, GetModuleHandleW(nullptr), nullptr);
}

void ShowImageInPane(HWND pane, PreviewRequest request) {
    PaneState* state = StateOf(pane);
    if (!state)
        return;
    state->request = std::move(request);
    state->request.box = PhotoAreaSize(pane);
    state->request.full = !state->zoom.Fitted();
    state->generation = state->previewer->Request(state->request);
    state->full = state->previewer->Full(state->generation);
    // Made already (ahead of time): shown in this very paint, without a round trip; else
    // the background until the placeholder or the photo is there.
    Display(pane, *state, state->previewer->Ready(state->generation));
    if (!IsWindowVisible(pane)) {
        SetWindowPos(pane, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_SHOWWINDOW);
    }
}

void ToggleKeyLegend(HWND pane, std::vector<std::wstring> entries) {
    if (PaneState* state = StateOf(pane)) {
        state->legendShown = !state->legendShown;
        state->legend = std::move(entries);
        InvalidateRect(pane, nullptr, FALSE);
    }
}

bool HideKeyLegend(HWND pane) {
    PaneState* state = StateOf(pane);
    if (!state || !state->legendShown)
        return false;
    state->legendShown = false;
    InvalidateRect(pane, nullptr, FALSE);
    return true;
}

bool KeyLegendShown(HWND pane) {
    const PaneState* state = StateOf(pane);
    return state && state->legendShown;
}

void ForgetImageInPane(HWND pane, const std::wstring& path) {
    if (PaneState* state = StateOf(pane)) {
        state->previewer->Forget(path);
        if (state->request.focused == path)
            state->request.focused.clear();  // gone: a new pane size asks for it no more
    }
}

void SetImagePaneFullScreen(HWND pane, bool fullScreen) {
    if (PaneState* state = StateOf(pane)) {
        state->fullScreen = fullScreen;
        // No sunken edge around a photo that fills the monitor.
        const LONG_PTR style = GetWindowLongPtrW(pane, GWL_EXSTYLE);
        SetWindowLongPtrW(pane, GWL_EXSTYLE,
                          fullScreen ? style & ~WS_EX_CLIENTEDGE : style | WS_EX_CLIENTEDGE);
        SetWindowPos(pane, nullptr, 0, 0, 0, 0,
                     SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
        state->line.clear();
        KillTimer(pane, kLineFadeTimer);
        InvalidateRect(pane, nullptr, FALSE);
    }
}

void ShowImagePaneLine(HWND pane, std::wstring line) {
    if (PaneState* state = StateOf(pane); state && state->fullScreen) {
        state->line = std::move(line);
        SetTimer(pane, kLineFadeTimer, kLineFadeMs, nullptr);
        InvalidateRect(pane, nullptr, FALSE);
    }
}

void SetImagePaneDoubleClick(HWND pane, std::function<void()> doubleClicked) {
    if (PaneState* state = StateOf(pane))
        state->doubleClicked = std::move(doubleClicked);
}

void ToggleImagePaneZoom(HWND pane) {
    PaneState* state = StateOf(pane);
    if (!state)
        return;
    const ZoomSize photo = ShownPhotoSize(*state);
    // Before the photo is there, 1:1 at its centre.
    ZoomView oneToOne;
    oneToOne.level = kOneToOneLevel;
    SetZoom(pane, *state,
            photo.width > 0
                ? ToggleOneToOne(state->zoom, PointerIn(pane), PhotoAreaZoomSize(pane), photo)
            : state->zoom.Fitted() ? oneToOne
                                   : ZoomView{});
}

void FitImageInPane(HWND pane) {
    if (PaneState* state = StateOf(pane); state && !state->zoom.Fitted())
        SetZoom(pane, *state, ZoomView{});
}
