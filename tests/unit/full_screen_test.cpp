// Where full screen goes and what its bottom line says.
#include <gtest/gtest.h>

#include "app/window/full_screen.h"

TEST(FullScreenPlaceTest, TheMonitorTheWindowOverlapsMostElseTheNearest) {
    const RECT left = {0, 0, 1920, 1080}, right = {1920, 0, 4480, 1440},
               above = {0, -1080, 1920, 0};
    const std::vector<RECT> monitors = {left, right, above};
    const auto under = [&](RECT window) {
        const RECT found = MonitorUnder(window, monitors);
        return std::vector<LONG>{found.left, found.top, found.right, found.bottom};
    };
    const auto of = [](RECT monitor) {
        return std::vector<LONG>{monitor.left, monitor.top, monitor.right, monitor.bottom};
    };
    EXPECT_EQ(of(left), under({100, 100, 900, 700}));
    EXPECT_EQ(of(right), under({1800, 100, 2600, 700})) << "mostly on the right one";
    EXPECT_EQ(of(above), under({100, -900, 900, 100})) << "mostly above";
    EXPECT_EQ(of(right), under({5000, 200, 5800, 800})) << "off every monitor: the nearest";
    EXPECT_EQ(of(left), under({-3000, 200, -2200, 800}));
    const RECT alone = {10, 10, 20, 20};
    EXPECT_EQ(of(alone), of(MonitorUnder(alone, {}))) << "no monitor known: where it is";
}

TEST(FullScreenPlaceTest, TheBottomLineNumbersTheFileAmongAll) {
    EXPECT_EQ(L"07/312 春节-01.jpg", FullScreenFileLine(6, 312, L"春节-01.jpg"));
    EXPECT_EQ(L"312/312 z.jpg", FullScreenFileLine(311, 312, L"z.jpg"));
    EXPECT_EQ(L"01/1 a", FullScreenFileLine(0, 1, L"a"));
}
