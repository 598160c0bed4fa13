// Reading the zoomed photo view off the screen: one-pixel stripes that alternate pixel by
// pixel only where the photo's own pixels are shown at 1:1, and the note in the view's top
// left corner while they are loading or when they are reduced.
#pragma once

#include <windows.h>

#include "tests/support/image_files.h"

// Whether the pixels from `reach` before `at` to `reach` after it along its row (or down
// its column) are dark and light by turns, one by one. Nothing scaled up or down shows
// that for one-pixel stripes, whatever the scaler samples.
bool AlternatesOneByOne(const ScreenShot& shot, POINT at, bool alongRow, int reach = 6);

enum class CornerNote { none, loading, reduced, other };

// The note at the top left of a zoomed view whose photo area begins at `areaTopLeft` (on
// the screen), over a photo of colour `photo` there: none when the photo's colour is
// there; else "正在载入原图…" or "已缩小显示" told by the width of the note's box.
CornerNote ReadCornerNote(POINT areaTopLeft, COLORREF photo);
