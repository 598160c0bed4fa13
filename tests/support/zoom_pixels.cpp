#include "tests/support/zoom_pixels.h"

#include <cstdlib>
#include <cwchar>

namespace {

int Luminance(COLORREF colour) {
    return (GetRValue(colour) * 299 + GetGValue(colour) * 587 + GetBValue(colour) * 114) / 1000;
}

// The width of a note as the view draws it: in the default GUI font.
int NoteWidth(const wchar_t* note) {
    const HDC screen = GetDC(nullptr);
    const HGDIOBJ oldFont = SelectObject(screen, GetStockObject(DEFAULT_GUI_FONT));
    SIZE size = {};
    GetTextExtentPoint32W(screen, note, static_cast<int>(wcslen(note)), &size);
    SelectObject(screen, oldFont);
    ReleaseDC(nullptr, screen);
    return size.cx;
}

}  // namespace

bool AlternatesOneByOne(const ScreenShot& shot, POINT at, bool alongRow, int reach) {
    // JPEG softens one-pixel stripes a little; dark and light stay far apart.
    constexpr int kDark = 96, kLight = 160;
    bool previousLight = false;
    for (int step = -reach; step <= reach; ++step) {
        const int x = alongRow ? at.x + step : at.x, y = alongRow ? at.y : at.y + step;
        const int luminance = Luminance(shot.At(x, y));
        if (luminance > kDark && luminance < kLight)
            return false;
        const bool light = luminance >= kLight;
        if (step > -reach && light == previousLight)
            return false;
        previousLight = light;
    }
    return true;
}

CornerNote ReadCornerNote(POINT areaTopLeft, COLORREF photo) {
    // The note's box starts 6 pixels in from the corner; its third row is inside the box
    // for any font, above most glyphs.
    constexpr int kInset = 6, kRow = 2, kLongest = 400;
    const POINT start = {areaTopLeft.x + kInset, areaTopLeft.y + kInset + kRow};
    const ScreenShot row(RECT{start.x, start.y, start.x + kLongest, start.y + 1});
    const auto isPhoto = [&](int x) { return NearColour(row.At(x, 0), photo, 40); };
    if (isPhoto(0))
        return CornerNote::none;
    int width = 1;
    while (width < kLongest && !(isPhoto(width) && isPhoto(width + 1) && isPhoto(width + 2)))
        ++width;
    static const int loading = NoteWidth(L"正在载入原图…");
    static const int reduced = NoteWidth(L"已缩小显示");
    constexpr int kSlack = 3;
    if (std::abs(width - loading) <= kSlack)
        return CornerNote::loading;
    if (std::abs(width - reduced) <= kSlack)
        return CornerNote::reduced;
    return CornerNote::other;
}
