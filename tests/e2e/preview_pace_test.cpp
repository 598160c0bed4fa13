// Stepping through photos in the real program at the pace of a hand. At five keys a second
// the pane shows the focused photo (its EXIF thumbnail first, then the photo itself) or its
// plain background, never another photo; holding Down starts next to no decodes until the
// key is released, and then the photo where it stopped shows sharp.
#include <gtest/gtest.h>

#include <map>
#include <optional>
#include <string>
#include <vector>

#include "app/preview/image_decoder.h"
#include "tests/support/bench_timing.h"
#include "tests/support/folder_session.h"
#include "tests/support/image_files.h"
#include "tests/support/input.h"
#include "tests/support/pace_photos.h"

namespace {

class PreviewPaceTest : public FolderSessionTest {
  protected:
    // The program with `workers` decode workers on the source folder's `photos` photos, the
    // first one focused and shown sharp.
    void Start(int photos, int width, int height, const wchar_t* workers) {
        const ScopedEnvironmentVariable decodeWorkers(L"ZEMO_DECODE_WORKERS", workers);
        ASSERT_NO_FATAL_FAILURE(StartOn("", {}, photos));
        for (const std::wstring& name : app_->FileList().Column(1))
            colours_.push_back(DistinctColour(PacePhotoIndex(name)));
        pane_ = Pane();
        ASSERT_NE(nullptr, pane_);
        points_ = PhotoPointsOnScreen(pane_, width, height);
        ASSERT_TRUE(app_->ClickFileRow(0));
        ASSERT_TRUE(WaitUntil([&] { return ShowsSharp(0); }, 30000));
    }
    bool ShowsSharp(int row) {
        return NearColour(ScreenPixel(points_.centre), colours_[row]) &&
               NearColour(ScreenPixel(points_.marker), MarkerColour(colours_[row]));
    }
    HWND pane_ = nullptr;
    PhotoPoints points_ = {};
    std::vector<COLORREF> colours_;  // each row's photo's colour, in the order shown
};

}  // namespace

// Two workers, so that the parallel path runs on a machine of two cores too. The photos
// are large enough that their decode takes longer than a step; every fourth has no
// thumbnail and is larger still, so that for a while the pane has nothing of it to show.
TEST_F(PreviewPaceTest, AtFiveKeysASecondThePaneShowsTheFocusedPhotoOrItsBackgroundOnly) {
    constexpr int kPhotos = 20;
    constexpr double kStepMs = 200, kAllowanceMs = 30;
    const auto hasThumbnail = [](int index) { return index % 4 != 3; };
    for (int i = 0; i < kPhotos; ++i)
        ASSERT_TRUE(hasThumbnail(i)
                        ? WritePacePhoto(source_ / PacePhotoName(i), i, 3000, 2000)
                        : WritePacePhoto(source_ / PacePhotoName(i), i, 6000, 4000, false, false));
    Start(kPhotos, 3000, 2000, L"2");

    struct Sample {
        double at;
        int row;
        COLORREF colour;
    };
    std::vector<Sample> samples;
    std::map<int, double> focusedSince;  // first sample of each row
    const LARGE_INTEGER start = Now();
    int presses = 0;
    for (double now = 0; now < (kPhotos - 1) * kStepMs + 500; now = Milliseconds(start, Now())) {
        if (presses < kPhotos - 1 && now >= presses * kStepMs) {
            PressKeys({VK_DOWN});
            ++presses;
        }
        // Kept only when the focus did not move while the pixel was read.
        const double at = Milliseconds(start, Now());
        const int row = app_->FileList().FocusedRow();
        const COLORREF colour = ScreenPixel(points_.centre);
        if (row >= 0 && row == app_->FileList().FocusedRow()) {
            focusedSince.emplace(row, at);
            samples.push_back({at, row, colour});
        }
        const double next = (static_cast<int>(Milliseconds(start, Now()) / 10) + 1) * 10.0;
        Sleep(static_cast<DWORD>(std::max(0.0, next - Milliseconds(start, Now()))));
    }

    ASSERT_EQ(kPhotos - 1, app_->FileList().FocusedRow());
    // Another photo seen twice in a row after the allowance fails; a single late paint,
    // when the loaded machine let the program wait for a processor, does not.
    int wrong = 0;
    const Sample* lastWrong = nullptr;
    std::map<int, bool> ownColourSeen;
    for (const Sample& sample : samples) {
        const bool own = NearColour(sample.colour, colours_[sample.row]);
        ownColourSeen[sample.row] = ownColourSeen[sample.row] || own;
        const bool late = sample.at - focusedSince[sample.row] > kAllowanceMs;
        if (own || !late || NearColour(sample.colour, kPreviewBackground, 8)) {
            lastWrong = nullptr;
            continue;
        }
        if (lastWrong && lastWrong->row == sample.row && ++wrong <= 5)
            ADD_FAILURE() << "from " << lastWrong->at << " to " << sample.at << " ms row "
                          << sample.row << " showed 0x" << std::hex << sample.colour
                          << " instead of 0x" << colours_[sample.row];
        lastWrong = &sample;
    }
    EXPECT_EQ(0, wrong) << "of " << samples.size() << " samples";
    // A pane that stayed grey would pass the check above.
    for (int row = 1; row < kPhotos; ++row) {
        if (hasThumbnail(PacePhotoIndex(app_->FileList().Text(row, 1)))) {
            EXPECT_TRUE(ownColourSeen[row]) << "row " << row << "'s photo never showed";
        }
    }
}

// One worker; the key repeats about 30 times a second for 1.5 s, from the first press on
// (a keyboard waits a little before it repeats). Expected: the row where the hold began,
// the row where it stopped and four ahead of it; the rest of the bound is for a loaded
// machine, where now and then a step comes later than 150 ms after the one before.
// Decoding every row passed would start 45.
TEST_F(PreviewPaceTest, HoldingDownDecodesNextToNothingUntilTheKeyIsReleased) {
    constexpr int kPhotos = 60, kRepeats = 45;
    ASSERT_TRUE(WritePacePhotos(source_.Path(), kPhotos, 1500, 1000));
    Start(kPhotos, 1500, 1000, L"1");
    const std::optional<int> before = SettledDecodes(pane_);
    ASSERT_TRUE(before);
    ASSERT_GT(*before, 0) << "the first photo's decode was not counted";

    for (int repeat = 0; repeat < kRepeats; ++repeat) {
        KeyDown(VK_DOWN);
        Sleep(33);
    }
    KeyUp(VK_DOWN);

    ASSERT_TRUE(WaitUntil([&] { return app_->FileList().FocusedRow() == kRepeats; }));
    EXPECT_TRUE(WaitUntil([&] { return ShowsSharp(kRepeats); }, 30000));
    const std::optional<int> after = SettledDecodes(pane_);
    ASSERT_TRUE(after);
    EXPECT_LE(*after - *before, 10);
}
