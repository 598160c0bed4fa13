// The file list's right-click menu: undo the row, and the options.
#pragma once

#include <cstdint>

struct Application;

// The file list's right-click handler: a menu with "撤销" for the row under the mouse,
// and the options below a separator.
int32_t OfferUndoMenu(Application& app, int32_t row);
