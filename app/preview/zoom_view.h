// The zoom of the photo view: fit, or a scale of the photo's own pixels (25 % to 400 %)
// with the point of the photo at the view's centre kept as a fraction of the photo, so
// stepping to the next photo of a burst shows the same place. Pure geometry: pixels of the
// view's area and of the upright photo.
#pragma once

#include <cstdint>

struct ZoomView {
    // 0 for fit; else an index into kZoomScales.
    int level = 0;
    // The photo point at the centre of the view, as fractions of its width and height.
    double centreX = 0.5;
    double centreY = 0.5;

    bool Fitted() const { return level == 0; }
    bool operator==(const ZoomView&) const = default;
};

inline constexpr double kZoomScales[] = {0, 0.25, 0.5, 1, 2, 4};
inline constexpr int kOneToOneLevel = 3;
inline constexpr int kMostZoomLevel = 5;

struct ZoomPoint {
    int32_t x = 0;
    int32_t y = 0;
};
struct ZoomSize {
    int32_t width = 0;
    int32_t height = 0;
};

// Where the whole photo lies at this zoom, in view coordinates (it may reach far outside the
// view): left, top and its scaled size. A dimension smaller than the view is centred.
struct ZoomPlacement {
    double left = 0;
    double top = 0;
    double width = 0;
    double height = 0;
};
ZoomPlacement PlaceZoomed(const ZoomView& view, ZoomSize area, ZoomSize photo);

// The view at another level, keeping the photo point under `pointer` where it is (a
// pointer outside the photo zooms at the view's centre). Level 0 is fit.
ZoomView ZoomTo(const ZoomView& view, int level, ZoomPoint pointer, ZoomSize area, ZoomSize photo);
// Z and the middle button: fit to 1:1 at the pointer, anything else back to fit.
ZoomView ToggleOneToOne(const ZoomView& view, ZoomPoint pointer, ZoomSize area, ZoomSize photo);
// The mouse wheel: one level in (positive) or out, around the pointer.
ZoomView ZoomStep(const ZoomView& view, int steps, ZoomPoint pointer, ZoomSize area,
                  ZoomSize photo);
// Dragging: the photo follows the pointer by (dx, dy) view pixels, and stays over the view.
ZoomView Pan(const ZoomView& view, int32_t dx, int32_t dy, ZoomSize area, ZoomSize photo);
