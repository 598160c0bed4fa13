// The key legend over the photo: F1 shows and hides it, Esc or a click anywhere in the
// window hides it, and stepping keeps it. A rule on F1 fires instead: the full-screen
// test's case of keys that rules take.
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>

#include "app/preview/image_decoder.h"
#include "app/preview/image_pane.h"
#include "app/preview/key_legend.h"
#include "app/window/layout.h"
#include "tests/support/config_file.h"
#include "tests/support/folder_session.h"
#include "tests/support/image_files.h"
#include "tests/support/input.h"
#include "tests/support/zemo_app.h"

namespace {

constexpr COLORREF kGreen = RGB(20, 200, 40);
constexpr COLORREF kRed = RGB(230, 20, 20);

class KeyLegendTest : public FolderSessionTest {
  protected:
    void Start(const std::wstring& ruleKey) {
        ASSERT_TRUE(WriteSolidImage(source_ / L"a.png", GUID_ContainerFormatPng, 400, 600, kGreen));
        ASSERT_TRUE(WriteSolidImage(source_ / L"b.png", GUID_ContainerFormatPng, 400, 600, kRed));
        CreateDirectoryW((target_ / L"精选").c_str(), nullptr);
        StartOn(RuleConfig({ruleKey + L"=复制文件|" + (target_ / L"精选")}), {}, 2);
        ASSERT_TRUE(SelectFile(L"a.png"));
        ASSERT_TRUE(Shows(kGreen, kPreviewBackground));
    }
    // The photo's colour at its centre, and what the top left corner of the photo's area
    // shows: the legend's box or the background above the photo.
    bool Shows(COLORREF centre, COLORREF corner) {
        return PaneShows([&](const ScreenShot& shot) {
            const RECT area = ImagePanePhotoArea(Pane());
            return NearColour(shot.At(area.right / 2, area.bottom * 3 / 4), centre) &&
                   NearColour(shot.At(3, 3), corner, 8);
        });
    }
};

}  // namespace

TEST_F(KeyLegendTest, F1DrawsTheLegendOverThePhotoStepsKeepItAndF1EscOrAClickAnywhereHideIt) {
    Start(KeyNameOf('1'));
    // Wherever a click lands, the legend goes and the click does what it does without one.
    const auto showLegendOverGreen = [&] {
        ASSERT_TRUE(app_->ClickFileRow(RowOf(L"a.png")));
        PressKeys({VK_F1});
        ASSERT_TRUE(Shows(kGreen, kLegendBackground));
    };
    showLegendOverGreen();
    ASSERT_TRUE(app_->ClickFileRow(RowOf(L"b.png")));
    EXPECT_TRUE(Shows(kRed, kPreviewBackground));

    RemoteListView& rules = app_->RuleList();
    POINT background = {MainWindowLayout::kFileList.x / 2, MainWindowLayout::kFileList.y * 4};
    ClientToScreen(app_->MainWindow(), &background);
    RECT paneRect = {};
    GetWindowRect(Pane(), &paneRect);
    const struct {
        const char* place;
        POINT point;
        std::function<bool()> didItsWork;
    } clicks[] = {
        {"the rule list", rules.CellCentreOnScreen(0, 1), [&] { return rules.IsSelected(0); }},
        {"the window's background", background, [] { return true; }},
        {"the photo",
         {(paneRect.left + paneRect.right) / 2, (paneRect.top + paneRect.bottom) / 2},
         [] { return true; }},
    };
    for (const auto& click : clicks) {
        SCOPED_TRACE(click.place);
        showLegendOverGreen();
        LeftClickAt(click.point);
        EXPECT_TRUE(Shows(kGreen, kPreviewBackground));
        EXPECT_TRUE(WaitUntil(click.didItsWork));
    }

    // F1 hides the legend it showed and shows it again; a step keeps it; Esc hides it.
    showLegendOverGreen();
    PressKeys({VK_F1});
    ASSERT_TRUE(Shows(kGreen, kPreviewBackground));
    PressKeys({VK_F1});
    ASSERT_TRUE(Shows(kGreen, kLegendBackground));
    PressKeys({VK_DOWN});
    EXPECT_TRUE(Shows(kRed, kLegendBackground));
    PressKeys({VK_ESCAPE});
    EXPECT_TRUE(Shows(kRed, kPreviewBackground));
}
