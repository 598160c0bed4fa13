// The screen readings the full-screen benchmark and tests rely on, against the program's
// own drawing of the zoomed view: the corner's note told apart by its width, and one-pixel
// stripes that alternate only at 1:1 with the photo's own pixels.
#include "tests/support/zoom_pixels.h"

#include <gtest/gtest.h>

#include "app/preview/zoomed_drawing.h"
#include "tests/gui/gui_controls_fixture.h"

namespace {

constexpr RECT kArea = {20, 20, 420, 320};
constexpr COLORREF kBackground = RGB(64, 64, 64);

uint32_t Pixel(COLORREF colour) {
    return static_cast<uint32_t>(GetRValue(colour)) << 16 | GetGValue(colour) << 8 |
           GetBValue(colour);
}

// A photo of one colour with vertical one-pixel stripes in a square at its middle; `scale`
// below 1 makes the smaller image that stands in for it while its own pixels load.
PreviewImage StripedPhoto(COLORREF colour, double scale = 1) {
    constexpr int kWidth = 600, kHeight = 400;
    PreviewImage image;
    image.width = static_cast<int>(kWidth * scale);
    image.height = static_cast<int>(kHeight * scale);
    image.photoSize = {kWidth, kHeight};
    for (int y = 0; y < image.height; ++y)
        for (int x = 0; x < image.width; ++x) {
            const bool stripes = std::abs(x - image.width / 2) < 50 * scale &&
                                 std::abs(y - image.height / 2) < 50 * scale;
            image.pixels.push_back(stripes ? (x % 2 ? 0xFFFFFF : 0) : Pixel(colour));
        }
    return image;
}

class ZoomPixelsTest : public ControlsTest {
  protected:
    // Draws the photo at 1:1 around its centre with the note, and waits until the screen
    // shows this photo's colour (not the drawing before).
    void Draw(const PreviewImage& photo, COLORREF colour, const wchar_t* note) {
        const HDC dc = GetDC(Parent());
        ZoomView oneToOne;
        oneToOne.level = kOneToOneLevel;
        DrawZoomed(dc, photo, oneToOne, kArea, kBackground, note);
        ReleaseDC(Parent(), dc);
        POINT probe = {kArea.right - 10, kArea.bottom - 10};
        ClientToScreen(Parent(), &probe);
        ASSERT_TRUE(WaitUntil([&] {
            return NearColour(ScreenShot(RECT{probe.x, probe.y, probe.x + 1, probe.y + 1}).At(0, 0),
                              colour, 8);
        }));
    }
    POINT AreaTopLeft() {
        POINT topLeft = {kArea.left, kArea.top};
        ClientToScreen(Parent(), &topLeft);
        return topLeft;
    }
    ScreenShot Area() {
        RECT area = kArea;
        MapWindowPoints(Parent(), HWND_DESKTOP, reinterpret_cast<POINT*>(&area), 2);
        return ScreenShot(area);
    }
};

}  // namespace

TEST_F(ZoomPixelsTest, TheCornerNoteIsToldByItsBoxAndNoneByThePhotosColour) {
    const struct {
        COLORREF colour;
        const wchar_t* note;
        CornerNote read;
    } cases[] = {
        {RGB(40, 160, 90), nullptr, CornerNote::none},
        {RGB(200, 60, 50), L"正在载入原图…", CornerNote::loading},
        {RGB(50, 90, 200), L"已缩小显示", CornerNote::reduced},
        {RGB(210, 170, 40), L"原图", CornerNote::other},
    };
    for (const auto& each : cases) {
        SCOPED_TRACE(each.note ? each.note : L"no note");
        Draw(StripedPhoto(each.colour), each.colour, each.note);
        EXPECT_EQ(each.read, ReadCornerNote(AreaTopLeft(), each.colour));
    }
}

TEST_F(ZoomPixelsTest, StripesAlternateOneByOneOnlyAcrossThemAndOnlyWithThePhotosOwnPixels) {
    const POINT centre = {(kArea.right - kArea.left) / 2, (kArea.bottom - kArea.top) / 2};
    const COLORREF own = RGB(40, 160, 90), standIn = RGB(200, 60, 50);
    Draw(StripedPhoto(own), own, nullptr);
    const ScreenShot oneToOne = Area();
    EXPECT_TRUE(AlternatesOneByOne(oneToOne, centre, true));
    EXPECT_FALSE(AlternatesOneByOne(oneToOne, centre, false));
    EXPECT_FALSE(AlternatesOneByOne(oneToOne, {40, 40}, true)) << "the photo's colour";

    Draw(StripedPhoto(standIn, 0.1), standIn, L"正在载入原图…");
    EXPECT_FALSE(AlternatesOneByOne(Area(), centre, true));
}
