// The key legend drawn over the photo: one entry per rule, filling columns top to bottom,
// and "…还有 N 条规则" in the last place when not all of them fit.
#pragma once

#include <windows.h>

#include <cstddef>
#include <string>
#include <vector>

// The legend's box behind its text.
inline constexpr COLORREF kLegendBackground = RGB(16, 16, 16);
inline constexpr COLORREF kLegendText = RGB(255, 255, 255);

// How the entries lie in an area: rows per column, the columns used, how many entries are
// drawn, and how many are left for the "…还有 N 条规则" line (0: none is left).
struct LegendGrid {
    int rows = 0;
    int columns = 0;
    size_t shown = 0;
    size_t left = 0;
    bool operator==(const LegendGrid&) const = default;
};
LegendGrid ArrangeLegend(size_t count, int lineHeight, int columnWidth, int width, int height);

// "…还有 N 条规则".
std::wstring MoreRulesText(size_t left);

// Draws the legend at the top left of `area` with the DC's font.
void DrawKeyLegend(HDC dc, const RECT& area, const std::vector<std::wstring>& entries);
