// The zoom's geometry: steps around the pointer, 1:1 and back, panning within the photo, and
// the place kept across photos of other sizes.
#include <gtest/gtest.h>

#include "app/preview/zoom_view.h"
#include "app/preview/zoomed_drawing.h"

namespace {

constexpr ZoomSize kArea{800, 600};
constexpr ZoomSize kPhoto{6000, 4000};

// The photo pixel under a view point.
std::pair<double, double> PhotoPointAt(const ZoomView& view, ZoomPoint at, ZoomSize photo) {
    const ZoomPlacement place = PlaceZoomed(view, kArea, photo);
    return {(at.x - place.left) / place.width * photo.width,
            (at.y - place.top) / place.height * photo.height};
}

}  // namespace

TEST(ZoomViewTest, EachStepKeepsThePhotoPointUnderThePointer) {
    const ZoomPoint pointer{200, 150};
    ZoomView view;
    const auto fitted = PhotoPointAt(view, pointer, kPhoto);
    const ZoomPlacement fit = PlaceZoomed(view, kArea, kPhoto);
    EXPECT_DOUBLE_EQ(800, fit.width);  // fitted, letterboxed
    EXPECT_NEAR(100.0 / 3, fit.top, 1e-9);
    for (int level = 1; level <= kMostZoomLevel; ++level) {
        view = ZoomStep(view, +1, pointer, kArea, kPhoto);
        ASSERT_EQ(level, view.level);
        EXPECT_DOUBLE_EQ(kPhoto.width * kZoomScales[level], PlaceZoomed(view, kArea, kPhoto).width);
        const auto under = PhotoPointAt(view, pointer, kPhoto);
        EXPECT_NEAR(fitted.first, under.first, 1e-6) << level;
        EXPECT_NEAR(fitted.second, under.second, 1e-6) << level;
    }
    EXPECT_EQ(kMostZoomLevel, ZoomStep(view, +1, pointer, kArea, kPhoto).level) << "400 % at most";
    for (int level = kMostZoomLevel - 1; level >= 0; --level)
        view = ZoomStep(view, -1, pointer, kArea, kPhoto);
    EXPECT_EQ(ZoomView{}, view);
}

TEST(ZoomViewTest, OneToOneAtThePointerOrTheCentreAndBackToFit) {
    const ZoomView one = ToggleOneToOne({}, {400, 300}, kArea, kPhoto);
    EXPECT_EQ(kOneToOneLevel, one.level);
    EXPECT_DOUBLE_EQ(0.5, one.centreX);
    // Off the photo (the letterbox band above it): at the centre all the same.
    EXPECT_EQ(one, ToggleOneToOne({}, {700, 20}, kArea, kPhoto));
    // Near the corner: the view stops at the photo's edge, it never shows beyond it.
    const ZoomView corner = ToggleOneToOne({}, {0, 34}, kArea, kPhoto);
    const ZoomPlacement place = PlaceZoomed(corner, kArea, kPhoto);
    EXPECT_DOUBLE_EQ(0, place.left);
    EXPECT_NEAR(0, place.top, 1e-9);
    EXPECT_EQ(ZoomView{}, ToggleOneToOne(corner, {1, 1}, kArea, kPhoto));
}

TEST(ZoomViewTest, PanningFollowsThePointerWithinThePhotoAndThePlaceCarriesToOtherPhotos) {
    ZoomView view = ToggleOneToOne({}, {400, 300}, kArea, kPhoto);
    view = Pan(view, 100, -50, kArea, kPhoto);
    const ZoomPlacement moved = PlaceZoomed(view, kArea, kPhoto);
    EXPECT_DOUBLE_EQ(400 - 3000 + 100, moved.left);
    EXPECT_DOUBLE_EQ(300 - 2000 - 50, moved.top);
    view = Pan(view, 100000, 100000, kArea, kPhoto);
    EXPECT_DOUBLE_EQ(0, PlaceZoomed(view, kArea, kPhoto).left) << "no further than the edge";

    // The same fraction of a photo of another size; one smaller than the view is centred.
    const ZoomView third =
        Pan(ToggleOneToOne({}, {400, 300}, kArea, kPhoto), 1000, 500, kArea, kPhoto);
    const ZoomPlacement other = PlaceZoomed(third, kArea, {3000, 2000});
    EXPECT_DOUBLE_EQ(third.centreX, (400 - other.left) / other.width);
    EXPECT_DOUBLE_EQ(third.centreY, (300 - other.top) / other.height);
    const ZoomPlacement small = PlaceZoomed(third, kArea, {400, 300});
    EXPECT_DOUBLE_EQ(200, small.left);
    EXPECT_DOUBLE_EQ(150, small.top);
}

TEST(ZoomViewTest, FourHundredPercentShowsEachPixelAsASquareAndTheRestIsBackground) {
    PreviewImage source;
    source.width = 2;
    source.height = 2;
    source.pixels = {1, 2, 3, 4};
    // The photo's 2 x 2 pixels at 400 %, placed at (1, 1) in a 10 x 10 view.
    const std::vector<uint32_t> view = SampleZoomed(source, {1, 1, 8, 8}, {10, 10}, 0xAA);
    for (int y = 0; y < 10; ++y)
        for (int x = 0; x < 10; ++x) {
            const bool inside = x >= 1 && x < 9 && y >= 1 && y < 9;
            const uint32_t expected = inside ? source.pixels[(y - 1) / 4 * 2 + (x - 1) / 4] : 0xAA;
            EXPECT_EQ(expected, view[y * 10 + x]) << x << "," << y;
        }
}
