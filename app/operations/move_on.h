// Moving on after a rule: with "处理后下一个" chosen, one key sorts a file and brings the next
// one up, so sorting a folder takes one key per file. An undo brings its row back.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "app/rules/settings.h"

struct Application;

inline constexpr Setting<bool> kMoveOnSetting{"处理后下一个", false};

// The display position after the last of `actedOn` (display positions), or -1 when that is
// the list's last row, there is none, or no row was acted on.
int32_t PositionAfter(std::span<const int32_t> actedOn, int32_t rowCount);

// After a rule acted on `rows`: with the option chosen, the selection and the focus move to
// the row shown after the last of them, in view, its preview shown.
void MoveOnAfterRule(Application& app, const std::vector<int32_t>& rows);
// After an undo of `row` was asked for: with the option chosen, the selection and the focus
// go back to it.
void ReturnToUndoneRow(Application& app, int32_t row);
