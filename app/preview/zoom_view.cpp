#include "app/preview/zoom_view.h"

#include <algorithm>

namespace {

bool Empty(ZoomSize size) {
    return size.width <= 0 || size.height <= 0;
}

// The centre fraction that keeps a scaled photo over the view: centred when it is smaller,
// else no edge of the view beyond its edge.
double KeptInside(double centre, double scaled, int32_t view) {
    if (scaled <= view)
        return 0.5;
    const double half = view / 2.0 / scaled;
    return std::clamp(centre, half, 1 - half);
}

// Where a scaled photo's edge goes for a centre fraction. Clamped here as well: through the
// fraction alone the photo's edge can land a rounding error inside the view's.
double EdgeAt(double centre, double scaled, int32_t view) {
    if (scaled <= view)
        return (view - scaled) / 2;
    return std::clamp(view / 2.0 - centre * scaled, view - scaled, 0.0);
}

ZoomView Clamped(ZoomView view, ZoomSize area, ZoomSize photo) {
    if (view.Fitted() || Empty(photo)) {
        view.centreX = view.centreY = 0.5;
        return view;
    }
    const double scale = kZoomScales[view.level];
    view.centreX = KeptInside(view.centreX, photo.width * scale, area.width);
    view.centreY = KeptInside(view.centreY, photo.height * scale, area.height);
    return view;
}

}  // namespace

ZoomPlacement PlaceZoomed(const ZoomView& view, ZoomSize area, ZoomSize photo) {
    if (Empty(area) || Empty(photo))
        return {};
    double width = 0, height = 0;
    if (view.Fitted()) {
        // Fitted and never enlarged, as the pane shows a photo.
        const double scale = std::min({1.0, static_cast<double>(area.width) / photo.width,
                                       static_cast<double>(area.height) / photo.height});
        width = photo.width * scale;
        height = photo.height * scale;
        return {(area.width - width) / 2, (area.height - height) / 2, width, height};
    }
    const ZoomView kept = Clamped(view, area, photo);
    width = photo.width * kZoomScales[kept.level];
    height = photo.height * kZoomScales[kept.level];
    return {EdgeAt(kept.centreX, width, area.width), EdgeAt(kept.centreY, height, area.height),
            width, height};
}

ZoomView ZoomTo(const ZoomView& view, int level, ZoomPoint pointer, ZoomSize area, ZoomSize photo) {
    level = std::clamp(level, 0, kMostZoomLevel);
    if (level == 0 || Empty(area) || Empty(photo))
        return ZoomView{};
    const ZoomPlacement now = PlaceZoomed(view, area, photo);
    const bool overPhoto = pointer.x >= now.left && pointer.x < now.left + now.width &&
                           pointer.y >= now.top && pointer.y < now.top + now.height;
    if (!overPhoto)
        pointer = {area.width / 2, area.height / 2};
    // The photo point under the pointer, as fractions; it stays under the pointer.
    const double u = now.width > 0 ? (pointer.x - now.left) / now.width : 0.5;
    const double v = now.height > 0 ? (pointer.y - now.top) / now.height : 0.5;
    const double scale = kZoomScales[level];
    ZoomView zoomed;
    zoomed.level = level;
    zoomed.centreX = u + (area.width / 2.0 - pointer.x) / (photo.width * scale);
    zoomed.centreY = v + (area.height / 2.0 - pointer.y) / (photo.height * scale);
    return Clamped(zoomed, area, photo);
}

ZoomView ToggleOneToOne(const ZoomView& view, ZoomPoint pointer, ZoomSize area, ZoomSize photo) {
    return view.Fitted() ? ZoomTo(view, kOneToOneLevel, pointer, area, photo) : ZoomView{};
}

ZoomView ZoomStep(const ZoomView& view, int steps, ZoomPoint pointer, ZoomSize area,
                  ZoomSize photo) {
    return ZoomTo(view, view.level + (steps > 0 ? 1 : steps < 0 ? -1 : 0), pointer, area, photo);
}

ZoomView Pan(const ZoomView& view, int32_t dx, int32_t dy, ZoomSize area, ZoomSize photo) {
    if (view.Fitted() || Empty(photo))
        return view;
    ZoomView moved = view;
    const double scale = kZoomScales[view.level];
    moved.centreX -= dx / (photo.width * scale);
    moved.centreY -= dy / (photo.height * scale);
    return Clamped(moved, area, photo);
}
