#include "tests/support/pace_photos.h"

#include <algorithm>
#include <cstdlib>
#include <cwchar>

#include "app/preview/image_pane.h"
#include "tests/support/image_files.h"
#include "tests/support/process.h"
#include "tests/support/wait.h"

namespace {

// The marker: a square a fifth of the photo's height, centred three quarters across.
bool InMarker(int x, int y, int width, int height) {
    const int half = height / 10;
    return std::abs(x - width * 3 / 4) < half && std::abs(y - height / 2) < half;
}

COLORREF Grain(int x, int y) {
    const unsigned grain = (static_cast<unsigned>(x) * 2654435761u ^ y * 40503u) >> 27;
    return RGB((x / 24 + grain) & 0xFF, (y / 16 + grain) & 0xFF, ((x + y) / 40) & 0xFF);
}

}  // namespace

COLORREF DistinctColour(int index) {
    // Channels of 0, 128 or 255, mid grey left out: 26 colours, each at least 64 from the
    // background's 64 in every channel. Stepping by 7 (prime to 26) makes neighbours differ.
    const int code = index * 7 % 26;
    const int digits = code < 13 ? code : code + 1;  // 13 is (128, 128, 128)
    const int levels[] = {0, 128, 255};
    return RGB(levels[digits % 3], levels[digits / 3 % 3], levels[digits / 9]);
}

COLORREF MarkerColour(COLORREF colour) {
    return RGB(255 - GetRValue(colour), 255 - GetGValue(colour), 255 - GetBValue(colour));
}

std::wstring PacePhotoName(int index) {
    wchar_t name[32];
    swprintf(name, 32, L"photo-%03d.jpg", index);
    return name;
}

int PacePhotoIndex(const std::wstring& name) {
    return name.size() > 9 ? _wtoi(name.c_str() + 6) : -1;
}

std::optional<std::string> WritePacePhoto(const std::wstring& path, int index, int width,
                                          int height, bool textured, bool thumbnail) {
    const COLORREF colour = DistinctColour(index), marker = MarkerColour(colour);
    const auto pixel = [&](int x, int y) {
        if (InMarker(x, y, width, height))
            return marker;
        const bool block =
            std::abs(x - width / 2) < width / 10 && std::abs(y - height / 2) < height / 6;
        return !textured || block ? colour : Grain(x, y);
    };
    if (thumbnail)
        return WriteJpegWithThumbnail(path, width, height, pixel, colour);
    const std::optional<std::string> photo =
        EncodeImage(GUID_ContainerFormatJpeg, width, height, pixel);
    if (!photo || !WriteFileBytes(path, *photo))
        return std::nullopt;
    return std::string();
}

bool WritePacePhotos(const std::wstring& folder, int count, int width, int height, bool textured) {
    CreateDirectoryW(folder.c_str(), nullptr);
    for (int i = 0; i < count; ++i) {
        const std::wstring path = folder + L"\\" + PacePhotoName(i);
        if (!FileExists(path) && !WritePacePhoto(path, i, width, height, textured))
            return false;
    }
    return true;
}

PhotoPoints PhotoPointsOnScreen(HWND pane, int width, int height) {
    const RECT area = ImagePanePhotoArea(pane);
    const double areaWidth = area.right - area.left, areaHeight = area.bottom - area.top;
    const double scale = std::min({areaWidth / width, areaHeight / height, 1.0});
    const int fittedWidth = static_cast<int>(width * scale);
    POINT centre = {static_cast<LONG>(area.left + areaWidth / 2),
                    static_cast<LONG>(area.top + areaHeight / 2)};
    POINT marker = {centre.x + fittedWidth / 4, centre.y};
    ClientToScreen(pane, &centre);
    ClientToScreen(pane, &marker);
    return {centre, marker};
}

COLORREF ScreenPixel(POINT point) {
    const HDC screen = GetDC(nullptr);
    const COLORREF colour = GetPixel(screen, point.x, point.y);
    ReleaseDC(nullptr, screen);
    return colour;
}

std::optional<int> DecodesStarted(HWND pane) {
    static const UINT message = RegisterWindowMessageW(L"ZemoDecodesStarted");
    DWORD_PTR count = 0;
    if (!SendMessageTimeoutW(pane, message, 0, 0, SMTO_ABORTIFHUNG, 5000, &count))
        return std::nullopt;
    return static_cast<int>(count);
}

std::optional<int> SettledDecodes(HWND pane) {
    std::optional<int> last = DecodesStarted(pane);
    ULONGLONG since = GetTickCount64();
    const bool settled = WaitUntil(
        [&] {
            const std::optional<int> now = DecodesStarted(pane);
            if (now != last) {
                last = now;
                since = GetTickCount64();
            }
            return last && GetTickCount64() - since >= 700;
        },
        60000);
    return settled ? last : std::nullopt;
}

ScopedEnvironmentVariable::ScopedEnvironmentVariable(const wchar_t* name, const std::wstring& value)
    : name_(name) {
    wchar_t old[256];
    const DWORD length = GetEnvironmentVariableW(name, old, 256);
    if (length > 0 && length < 256)
        previous_ = std::wstring(old, length);
    SetEnvironmentVariableW(name, value.c_str());
}

ScopedEnvironmentVariable::~ScopedEnvironmentVariable() {
    SetEnvironmentVariableW(name_, previous_ ? previous_->c_str() : nullptr);
}
