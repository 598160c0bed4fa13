// Where the tests expect the program's controls: the boxes of app/window/layout.h, the program's
// own table, paired with the controls as the tests find them.
#pragma once

#include <windows.h>

#include <ostream>
#include <vector>

#include "app/window/layout.h"

// A rectangle in its parent's client coordinates as a box.
LayoutBox BoxOf(const RECT& rect);
// True when every edge of `actual` is within `tolerance` pixels of `expected`'s.
bool BoxNear(const LayoutBox& expected, const LayoutBox& actual, int32_t tolerance = 0);
std::ostream& operator<<(std::ostream& out, const LayoutBox& box);

// The main window's controls found by identifier, with their boxes and texts.
struct ExpectedControl {
    int id;
    LayoutBox box;
    const wchar_t* text;  // null: not checked
};
std::vector<ExpectedControl> MainWindowControls();

// The rule dialog's boxes in creation order (the order of ChildrenInOrder).
std::vector<LayoutBox> RuleDialogBoxes();
