// Keeping up with the hand: how far ahead the preview prepares, what the cache keeps within
// its budget and shows first, and the previewer's order of work with real files.
#include <gtest/gtest.h>

#include <objbase.h>

#include <mutex>

#include "app/base/ui_thread.h"
#include "app/preview/image_preview.h"
#include "app/preview/step_pace.h"
#include "tests/support/image_files.h"
#include "tests/support/process.h"
#include "tests/support/raw_files.h"
#include "tests/support/sorting_files.h"
#include "tests/support/wait.h"

TEST(StepPaceTest, PreparesFurtherAheadTheFasterTheStepsComeInTheirDirection) {
    struct Case {
        int intervalMs;
        int direction;
        int rowsAhead;
    };
    for (const Case& pace : {Case{2000, 1, 1}, Case{1000, 1, 1}, Case{500, -1, 2}, Case{333, 1, 3},
                             Case{250, -1, 4}, Case{33, 1, 4}}) {
        StepPace steps;
        int32_t position = 100;
        for (int step = 0; step < 6; ++step, position += pace.direction)
            steps.Step(position, position + pace.direction, step * pace.intervalMs);
        EXPECT_EQ(pace.direction, steps.Direction()) << pace.intervalMs;
        EXPECT_EQ(pace.rowsAhead, steps.RowsAhead()) << pace.intervalMs;
    }
    StepPace still;
    EXPECT_EQ(1, still.RowsAhead());
    EXPECT_EQ(1, still.Direction());
    still.Step(5, 5, 100);  // asked again for the same row: no step
    EXPECT_EQ(0, still.DecodesFrom());
}

TEST(StepPaceTest, AHeldKeyStartsNoDecodeUntilTheFocusRests) {
    StepPace steps;
    steps.Step(0, 1, 10'000);
    EXPECT_EQ(10'000, steps.DecodesFrom()) << "a single press decodes at once";
    steps.Step(1, 2, 10'200);
    EXPECT_EQ(10'200, steps.DecodesFrom()) << "five presses a second still decode at once";
    for (int row = 2; row < 30; ++row)  // the key repeats 30 times a second
        steps.Step(row, row + 1, 10'200 + (row - 1) * 33);
    EXPECT_EQ(10'200 + 28 * 33 + StepPace::kRestMs, steps.DecodesFrom());
}

TEST(StepPaceTest, DecodesWaitForAPauseOnlyWhileTheWorkersCannotKeepUp) {
    EXPECT_EQ(0, RestBeforeDecodingMs(0, 1700, 1)) << "not stepping";
    EXPECT_EQ(0, RestBeforeDecodingMs(500, 400, 1)) << "a decode within a step";
    EXPECT_EQ(0, RestBeforeDecodingMs(200, 700, 4)) << "four workers in turn keep up";
    EXPECT_EQ(300, RestBeforeDecodingMs(200, 1700, 1));
    EXPECT_EQ(500, RestBeforeDecodingMs(1000, 1700, 1)) << "at most half a second";
}

namespace {

std::shared_ptr<const PreviewImage> Image(int width, int height, PixelSize photo = {}) {
    auto image = std::make_shared<PreviewImage>();
    image->width = width;
    image->height = height;
    image->pixels.resize(static_cast<size_t>(width) * height);
    image->photoSize = photo;
    return image;
}

}  // namespace

TEST(PreviewCacheTest, ShowsTheBestImageOfTheFileAndKeepsTheRecentOnesWithinItsBudget) {
    const PixelSize pane{400, 300}, larger{800, 600};
    PreviewCache cache(1 << 20);
    cache.Put(L"C:\\a.jpg", PreviewKind::placeholder, {}, Image(160, 120));
    EXPECT_EQ(160, cache.Best(L"C:\\A.JPG", pane)->width);  // names compare without case
    cache.Put(L"C:\\a.jpg", PreviewKind::sharp, larger, Image(800, 533));
    EXPECT_EQ(800, cache.Best(L"C:\\a.jpg", pane)->width)
        << "another size's photo beats a placeholder";
    cache.Put(L"C:\\a.jpg", PreviewKind::sharp, pane, Image(400, 266));
    EXPECT_EQ(400, cache.Best(L"C:\\a.jpg", pane)->width) << "the photo for this size beats both";
    cache.Put(L"C:\\b.jpg", PreviewKind::placeholder, {}, std::make_shared<PreviewImage>());
    EXPECT_FALSE(cache.Best(L"C:\\b.jpg", pane)) << "an empty placeholder shows nothing";
    EXPECT_TRUE(cache.Find(L"C:\\b.jpg", PreviewKind::placeholder, larger)) << "but is known";
    EXPECT_FALSE(cache.Find(L"C:\\a.jpg", PreviewKind::sharp, {100, 100}));

    // 100 KB images in a budget of 1 MB: the least recently used leave, the touched stay.
    PreviewCache budget(1 << 20);
    for (int i = 0; i < 9; ++i)
        budget.Put(L"C:\\" + std::to_wstring(i), PreviewKind::sharp, pane, Image(160, 160));
    budget.Touch(L"C:\\0");
    budget.Put(L"C:\\9", PreviewKind::sharp, pane, Image(160, 160));
    budget.Put(L"C:\\10", PreviewKind::sharp, pane, Image(160, 160));
    EXPECT_LE(budget.Bytes(), size_t{1} << 20);
    EXPECT_TRUE(budget.Find(L"C:\\0", PreviewKind::sharp, pane));
    EXPECT_FALSE(budget.Find(L"C:\\1", PreviewKind::sharp, pane));
    EXPECT_TRUE(budget.Find(L"C:\\10", PreviewKind::sharp, pane));
    budget.Put(L"C:\\huge", PreviewKind::sharp, pane, Image(1000, 1000));
    EXPECT_EQ(1u, budget.Size()) << "the newest stays even alone over the budget";
    budget.Forget(L"C:\\HUGE");
    EXPECT_EQ(0u, budget.Bytes());
}

namespace {

// A previewer with real files and the UI thread's road, recording what its workers start.
class PreviewerTest : public ::testing::Test {
  protected:
    void SetUp() override {
        CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
        ASSERT_TRUE(StartUiTasks());
        for (const wchar_t* name : {L"a", L"b", L"c", L"d", L"e", L"f"})
            ASSERT_TRUE(WriteSolidImage(Photo(name), GUID_ContainerFormatPng, 900, 600, 0));
    }
    void TearDown() override {
        previewer_.reset();
        StopUiTasks();
    }
    void Start(int workers) {
        previewer_ = std::make_unique<ImagePreviewer>(
            receiver_.Route(), [this](uint64_t generation) { announced_.push_back(generation); },
            PreviewerOptions{.decodeWorkers = workers,
                             .decodeStarting = [this](const std::wstring& path) {
                                 std::lock_guard lock(mutex_);
                                 started_.push_back(path.substr(path.size() - 5, 1));
                             }});
    }
    std::wstring Photo(const wchar_t* name) const {
        return files_ / (std::wstring(name) + L".png");
    }
    std::vector<std::wstring> Started() {
        std::lock_guard lock(mutex_);
        return started_;
    }

    TempDirectory files_;
    UiReceiver receiver_;
    std::unique_ptr<ImagePreviewer> previewer_;
    std::vector<uint64_t> announced_;
    std::mutex mutex_;
    std::vector<std::wstring> started_;
    const PixelSize box_{300, 300};
};

}  // namespace

TEST_F(PreviewerTest, DecodesTheFocusedPhotoFirstThenAheadAndDropsWorkNoLongerWanted) {
    Start(1);
    // Held back, then replaced before anything started: none of the first request's files
    // is decoded.
    previewer_->Request({Photo(L"a"),
                         {Photo(L"b"), Photo(L"c")},
                         box_,
                         PreviewClock::now() + std::chrono::milliseconds(400)});
    const uint64_t newest = previewer_->Request({Photo(L"d"), {Photo(L"e"), Photo(L"f")}, box_});
    ASSERT_TRUE(WaitUntil([&] { return previewer_->Holds(Photo(L"f")); }));
    EXPECT_EQ((std::vector<std::wstring>{L"d", L"e", L"f"}), Started());
    EXPECT_EQ(3u, previewer_->DecodesStarted());
    ASSERT_TRUE(WaitUntil([&] { return !announced_.empty(); }));
    EXPECT_EQ(newest, announced_.back());
    EXPECT_TRUE(previewer_->Ready(newest));
    EXPECT_FALSE(previewer_->Ready(newest - 1));
    // Stepping onto a photo prepared ahead shows it at once, with no decode.
    EXPECT_TRUE(previewer_->Ready(previewer_->Request({Photo(L"E"), {}, box_})));
    EXPECT_EQ(3u, previewer_->DecodesStarted());
}

TEST_F(PreviewerTest, ParallelWorkersShareTheWorkAndAHeldKeyStartsNoDecodeUntilItRests) {
    Start(3);
    StepPace pace;
    const auto msNow = [] {
        return std::chrono::duration_cast<std::chrono::milliseconds>(
                   PreviewClock::now().time_since_epoch())
            .count();
    };
    const wchar_t* rows[] = {L"a", L"b", L"c", L"d", L"e", L"f"};
    // Five rows 30 ms apart after a first press, as a held key runs: the first row starts
    // at once, the others only once the focus rests.
    for (int row = 0; row < 6; ++row) {
        pace.Step(row - 1, row, msNow());
        previewer_->Request(
            {Photo(rows[row]),
             {},
             box_,
             PreviewClock::time_point(std::chrono::milliseconds(pace.DecodesFrom()))});
        if (row == 0)
            ASSERT_TRUE(WaitUntil([&] { return previewer_->DecodesStarted() == 1; }));
        Sleep(30);
        if (row > 0)
            EXPECT_EQ(1u, previewer_->DecodesStarted()) << row;
    }
    ASSERT_TRUE(WaitUntil([&] { return previewer_->Holds(Photo(L"f")); }));
    EXPECT_EQ((std::vector<std::wstring>{L"a", L"f"}), Started());

    // Three workers take the focused photo and two ahead together.
    previewer_->Request({Photo(L"b"), {Photo(L"c"), Photo(L"d")}, box_});
    ASSERT_TRUE(WaitUntil([&] {
        return previewer_->Holds(Photo(L"b")) && previewer_->Holds(Photo(L"c")) &&
               previewer_->Holds(Photo(L"d"));
    }));
    EXPECT_EQ(5u, previewer_->DecodesStarted());
}

TEST_F(PreviewerTest, APlaceholderShowsWhileThePhotoWaitsAndThePhotoReplacesIt) {
    const std::wstring thumbnail = files_ / L"thumbnail.jpg", preview = files_ / L"preview.jpg";
    ASSERT_TRUE(WriteSolidImage(thumbnail, GUID_ContainerFormatJpeg, 160, 120, RGB(200, 0, 0)));
    ASSERT_TRUE(WriteSolidImage(preview, GUID_ContainerFormatJpeg, 1200, 800, RGB(0, 0, 200)));
    const std::wstring raw = files_ / L"shot.dng";
    WriteFileBytes(raw, DngBytes(*ReadFileBytes(thumbnail), *ReadFileBytes(preview)));
    Start(1);
    // Photo decodes held back for a long time: the fast lane does not wait for them.
    const uint64_t held =
        previewer_->Request({raw, {}, box_, PreviewClock::now() + std::chrono::seconds(30)});
    ASSERT_TRUE(WaitUntil([&] { return previewer_->Ready(held) != nullptr; }));
    const auto placeholder = previewer_->Ready(held);
    EXPECT_EQ(160, placeholder->width);
    EXPECT_EQ((PixelSize{1200, 800}), placeholder->photoSize) << "drawn at the photo's size";
    const uint32_t red = placeholder->pixels[0];
    EXPECT_TRUE(NearColour(RGB(200, 0, 0), RGB(red >> 16, red >> 8 & 0xFF, red & 0xFF)));
    EXPECT_EQ(0u, previewer_->DecodesStarted());

    const uint64_t now = previewer_->Request({raw, {}, box_});
    ASSERT_TRUE(WaitUntil([&] { return previewer_->Holds(raw); }));
    EXPECT_EQ(300, previewer_->Ready(now)->width);
}
