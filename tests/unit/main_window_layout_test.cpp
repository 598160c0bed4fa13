// The main window's layout for a client area larger than the default: every pixel of extra
// room goes somewhere, and the gaps and margins between controls stay.
#include <gtest/gtest.h>

#include <utility>

#include "app/window/layout.h"
#include "tests/support/layout_expectations.h"

namespace {

using namespace MainWindowLayout;

constexpr LayoutSize kDefault96{1050, 600};

int32_t Right(const LayoutBox& box) {
    return box.x + box.width;
}
int32_t Bottom(const LayoutBox& box) {
    return box.y + box.height;
}

}  // namespace

TEST(MainWindowLayout, DefaultOrSmallerClientKeepsEveryBoxOfTheTable) {
    const MainWindowBoxes table{
        kFileList,           kDirectoryLabel, kDirectoryEdit,
        kChooseFolderButton, kReadListButton, kRulesButton,
        kRuleList,           kPreview,        kFileColumnWidths[kNameColumn]};
    EXPECT_EQ(table, ArrangeMainWindow(kDefault96, kDefault96, 96));
    // Minimised, or a frame the system made smaller than asked.
    EXPECT_EQ(table, ArrangeMainWindow({0, 0}, kDefault96, 96));
    EXPECT_EQ(table, ArrangeMainWindow({900, 500}, kDefault96, 96));
}

TEST(MainWindowLayout, ExtraRoomIsSharedOutExactlyAtAnyDpi) {
    for (const UINT dpi : {96u, 120u, 144u, 192u}) {
        const MainWindowBoxes base = ArrangeMainWindow({0, 0}, {1, 1}, dpi);
        constexpr std::pair<int32_t, int32_t> kRooms[] = {
            {1, 1}, {2, 0}, {3, 7}, {100, 50}, {550, 400}};
        for (const auto& [dw, dh] : kRooms) {
            const MainWindowBoxes grown =
                ArrangeMainWindow({1000 + dw, 700 + dh}, {1000, 700}, dpi);
            const int32_t a = dw / 3;
            SCOPED_TRACE(testing::Message() << "dpi " << dpi << ", " << dw << " x " << dh);
            EXPECT_EQ((LayoutBox{base.fileList.x, base.fileList.y, base.fileList.width + a,
                                 base.fileList.height + dh}),
                      grown.fileList);
            EXPECT_EQ(base.nameColumnWidth + a, grown.nameColumnWidth);
            // The folder row and the rule list move down together, under the file list.
            EXPECT_EQ(Bottom(base.fileList) + dh, Bottom(grown.fileList));
            EXPECT_EQ((LayoutBox{base.directoryLabel.x, base.directoryLabel.y + dh,
                                 base.directoryLabel.width, base.directoryLabel.height}),
                      grown.directoryLabel);
            EXPECT_EQ((LayoutBox{base.directoryEdit.x, base.directoryEdit.y + dh,
                                 base.directoryEdit.width + a, base.directoryEdit.height}),
                      grown.directoryEdit);
            for (const auto member :
                 {&MainWindowBoxes::chooseFolderButton, &MainWindowBoxes::readListButton,
                  &MainWindowBoxes::rulesButton}) {
                const LayoutBox& was = base.*member;
                EXPECT_EQ((LayoutBox{was.x + a, was.y + dh, was.width, was.height}), grown.*member);
            }
            EXPECT_EQ((LayoutBox{base.ruleList.x, base.ruleList.y + dh, base.ruleList.width + a,
                                 base.ruleList.height}),
                      grown.ruleList);
            // The preview takes the rest of the width: its right margin stays.
            EXPECT_EQ((LayoutBox{base.preview.x + a, base.preview.y, base.preview.width + dw - a,
                                 base.preview.height + dh}),
                      grown.preview);
            EXPECT_EQ(Right(base.preview) + dw, Right(grown.preview));
            EXPECT_EQ(base.preview.x - Right(base.fileList),
                      grown.preview.x - Right(grown.fileList));
        }
    }
}

TEST(MainWindowLayout, BoxesAtAnotherDpiAreTheTablesScaledBeforeTheRoomIsAdded) {
    const MainWindowBoxes grown = ArrangeMainWindow({1700, 1000}, {1575, 900}, 144);
    // 125 wider: the file list 41 of it; 100 taller.
    EXPECT_EQ((LayoutBox{12, 15, 1008 + 41, 453 + 100}), grown.fileList);
    EXPECT_EQ((LayoutBox{1032 + 41, 15, 548 + 84, 888 + 100}), grown.preview);
    EXPECT_EQ(675 + 41, grown.nameColumnWidth);
    EXPECT_EQ((LayoutBox{630 + 41, 480 + 100, 117, 36}), grown.chooseFolderButton);
}
