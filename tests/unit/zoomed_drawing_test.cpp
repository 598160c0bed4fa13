// The zoomed view's pixels: each view pixel from the nearest photo pixel, so at 1:1 one
// photo pixel is one view pixel wherever the view's edge falls on the photo.
#include "app/preview/zoomed_drawing.h"

#include <gtest/gtest.h>

namespace {

// A one-row photo whose pixel value is its column, so the view tells which column it shows.
PreviewImage NumberedRow(int width) {
    PreviewImage image;
    image.width = width;
    image.height = 1;
    for (int x = 0; x < width; ++x)
        image.pixels.push_back(static_cast<uint32_t>(x));
    return image;
}

}  // namespace

TEST(ZoomedDrawingTest, AtOneToOneAndAboveEveryViewPixelTakesTheNextPhotoPixelInTurn) {
    // The left edges where the view's pixel centres meet the photo's pixel edges exactly
    // (half-pixel placements, as a 361-pixel view centred on the photo gives) or not.
    const double lefts[] = {-2819.5, -2820, -2819.25, -1234.5, -17.5};
    for (const int width : {6000, 4000, 8192}) {
        const PreviewImage photo = NumberedRow(width);
        for (const double left : lefts) {
            for (const double scale : {1.0, 2.0, 4.0}) {
                SCOPED_TRACE(testing::Message()
                             << width << " wide, left " << left << ", x" << scale);
                const ZoomPlacement place = {left, 0, width * scale, scale};
                const std::vector<uint32_t> view = SampleZoomed(photo, place, {361, 1}, 0xFFFFFFFF);
                for (int x = 0; x < 361; ++x) {
                    const double column = (x + 0.5 - left) / scale;  // the pixel centre's column
                    if (column < 0 || column >= width)
                        continue;
                    ASSERT_EQ(static_cast<uint32_t>(column), view[x]) << "view pixel " << x;
                }
            }
        }
    }
}
