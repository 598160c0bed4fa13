#include "app/preview/key_legend.h"

#include <algorithm>

#include "ui/unique_handle.h"

namespace {

constexpr int kPadding = 6;
constexpr int kColumnGap = 16;

int TextWidth(HDC dc, const std::wstring& text) {
    SIZE size = {};
    GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &size);
    return size.cx;
}

}  // namespace

LegendGrid ArrangeLegend(size_t count, int lineHeight, int columnWidth, int width, int height) {
    if (count == 0 || lineHeight <= 0 || columnWidth <= 0)
        return {};
    const int rowsThatFit = std::max(1, height / lineHeight);
    const int columnsThatFit = std::max(1, width / columnWidth);
    const size_t capacity = static_cast<size_t>(rowsThatFit) * columnsThatFit;
    LegendGrid grid;
    grid.shown = count <= capacity ? count : capacity - 1;
    grid.left = count - grid.shown;
    const size_t places = grid.shown + (grid.left ? 1 : 0);
    grid.rows = static_cast<int>(std::min<size_t>(places, rowsThatFit));
    grid.columns = static_cast<int>((places + grid.rows - 1) / grid.rows);
    return grid;
}

std::wstring MoreRulesText(size_t left) {
    return L"…还有 " + std::to_wstring(left) + L" 条规则";
}

void DrawKeyLegend(HDC dc, const RECT& area, const std::vector<std::wstring>& entries) {
    TEXTMETRICW metrics = {};
    GetTextMetricsW(dc, &metrics);
    const int lineHeight = metrics.tmHeight + 2;
    const int areaWidth = area.right - area.left - 2 * kPadding;
    const int areaHeight = area.bottom - area.top - 2 * kPadding;
    if (entries.empty() || areaWidth <= 0 || areaHeight <= 0)
        return;
    int widest = 0;
    for (const std::wstring& entry : entries)
        widest = std::max(widest, TextWidth(dc, entry));
    widest = std::max(widest, TextWidth(dc, MoreRulesText(entries.size())));
    const int columnWidth = std::min(widest + kColumnGap, areaWidth);
    const LegendGrid grid =
        ArrangeLegend(entries.size(), lineHeight, columnWidth, areaWidth, areaHeight);
    RECT box = {area.left, area.top,
                area.left + 2 * kPadding + std::min(grid.columns * columnWidth, areaWidth),
                area.top + 2 * kPadding + grid.rows * lineHeight};
    const UniqueBrush background(CreateSolidBrush(kLegendBackground));
    FillRect(dc, &box, background.Get());
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, kLegendText);
    const auto draw = [&](size_t place, const std::wstring& text) {
        const int column = static_cast<int>(place / grid.rows);
        const int row = static_cast<int>(place % grid.rows);
        RECT cell = {box.left + kPadding + column * columnWidth,
                     box.top + kPadding + row * lineHeight, 0, 0};
        cell.right = std::min<LONG>(cell.left + columnWidth - kColumnGap / 2, box.right);
        cell.bottom = cell.top + lineHeight;
        DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &cell,
                  DT_LEFT | DT_SINGLELINE | DT_NOPREFIX | DT_END_ELLIPSIS);
    };
    for (size_t i = 0; i < grid.shown; ++i)
        draw(i, entries[i]);
    if (grid.left)
        draw(grid.shown, MoreRulesText(grid.left));
}
