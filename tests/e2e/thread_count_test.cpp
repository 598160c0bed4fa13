// A long sorting session must not wear the program down: moves and their undos leave no
// thread behind, whatever the moved file had shown in the preview pane, and neither does
// stepping onto rows whose media files are gone from the disk or held by another program.
#include <gtest/gtest.h>

#include <cstdio>
#include <memory>
#include <string>

#include "tests/support/config_file.h"
#include "tests/support/input.h"
#include "tests/support/process_threads.h"
#include "tests/support/sorting_files.h"
#include "tests/support/zemo_app.h"
#include "ui/unique_handle.h"

namespace {

constexpr int kRounds = 25;  // each a move and its undo: fifty moves in all
constexpr int kAllowedGrowth = 3;

class ThreadCountTest : public ::testing::Test {
  protected:
    void SetUp() override {
        for (const wchar_t* name : kFiles)
            ASSERT_TRUE(WriteFileBytes(source_ / name, "not really media"));
        app_ =
            std::make_unique<ZemoApp>(RulesConfig({{KeyNameOf('M'), L"移动文件", target_.Path()}}));
        ASSERT_TRUE(app_->Start());
        ASSERT_TRUE(app_->LoadDirectory(source_.Path(), static_cast<int>(std::size(kFiles))));
    }
    int RowOf(const std::wstring& name) {
        const std::vector<std::wstring> names = app_->FileList().Column(1);
        for (size_t row = 0; row < names.size(); ++row)
            if (names[row] == name)
                return static_cast<int>(row);
        return -1;
    }
    bool RowShows(int row, const std::wstring& result) {
        return WaitUntil([&] { return app_->FileList().Text(row, 3) == result; }, 30000);
    }
    // Selects the file (which previews it), moves it with the rule's key, and undoes it.
    void MoveAndUndo(const std::wstring& name) {
        const int row = RowOf(name);
        ASSERT_TRUE(app_->ClickFileRow(row));
        PressKeys({'M'});
        ASSERT_TRUE(RowShows(row, L"移动成功"));
        PressKeys({VK_LCONTROL, 'Z'});
        ASSERT_TRUE(RowShows(row, L"已撤销"));
        ASSERT_TRUE(FileExists(source_ / name));
    }
    int Threads() {
        const std::optional<int> count = ThreadCountOf(app_->Process().Id());
        EXPECT_TRUE(count.has_value());
        return count.value_or(0);
    }

    static constexpr const wchar_t* kFiles[] = {L"clip.mp4", L"song.mp3", L"photo.jpg",
                                                L"notes.txt"};
    TempDirectory source_;
    TempDirectory target_;
    std::unique_ptr<ZemoApp> app_;
};

}  // namespace

TEST_F(ThreadCountTest, MovesAndUndosOfPreviewedFilesLeaveNoThreadsBehind) {
    // One round of each kind first, so threads started once on first use are counted.
    for (const wchar_t* name : kFiles)
        ASSERT_NO_FATAL_FAILURE(MoveAndUndo(name));
    const int before = Threads();
    for (int round = 0; round < kRounds; ++round)
        ASSERT_NO_FATAL_FAILURE(MoveAndUndo(kFiles[round % std::size(kFiles)]));
    const int after = Threads();
    std::printf("threads before %d moves and undos: %d, after: %d\n", 2 * kRounds, before, after);
    EXPECT_LE(after, before + kAllowedGrowth);
}

TEST_F(ThreadCountTest, SteppingOntoRowsOfUnreadableMediaLeavesNoThreadsBehind) {
    // Another program (or an earlier move) took one file away, and holds the other open
    // without sharing it; both rows stay listed.
    ASSERT_TRUE(DeleteFileW((source_ / L"clip.mp4").c_str()));
    const HANDLE held = CreateFileW((source_ / L"song.mp3").c_str(), GENERIC_READ, 0, nullptr,
                                    OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, held);
    const UniqueKernelHandle holder(held);
    const int clip = RowOf(L"clip.mp4");
    const int song = RowOf(L"song.mp3");
    ASSERT_TRUE(app_->ClickFileRow(clip));
    ASSERT_TRUE(app_->ClickFileRow(song));
    const int before = Threads();
    for (int round = 0; round < kRounds; ++round) {
        ASSERT_TRUE(app_->ClickFileRow(clip));
        ASSERT_TRUE(app_->ClickFileRow(song));
    }
    const int after = Threads();
    std::printf("threads before %d steps onto unreadable media: %d, after: %d\n", 2 * kRounds,
                before, after);
    EXPECT_LE(after, before + kAllowedGrowth);
    DWORD_PTR answer = 0;
    EXPECT_NE(
        0, SendMessageTimeoutW(app_->MainWindow(), WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 5000, &answer));
}
