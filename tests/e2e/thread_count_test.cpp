// A long sorting session must not wear the program down: moves and their undos leave no
// thread behind, whatever the moved file had shown in the preview pane, and neither does
// stepping onto rows whose media files are gone from the disk or held by another program.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "tests/support/config_file.h"
#include "tests/support/folder_session.h"
#include "tests/support/row_presses.h"
#include "tests/support/input.h"
#include "tests/support/process_threads.h"
#include "tests/support/sorting_files.h"
#include "tests/support/zemo_app.h"
#include "ui/unique_handle.h"

namespace {

constexpr int kRounds = 25;  // each a move and its undo, or a step onto two rows
constexpr int kAllowedGrowth = 3;
constexpr const wchar_t* kFiles[] = {L"clip.mp4", L"song.mp3", L"photo.jpg", L"notes.txt"};

using ThreadCountTest = FolderSessionTest;

int Threads(ZemoApp& app) {
    const std::optional<int> count = ThreadCountOf(app.Process().Id());
    EXPECT_TRUE(count.has_value());
    return count.value_or(0);
}

}  // namespace

TEST_F(ThreadCountTest, MovesAndUndosAndStepsOntoUnreadableMediaLeaveNoThreadsBehind) {
    FileContents files;
    for (const wchar_t* name : kFiles)
        files.emplace_back(name, "not really media");
    StartOn(RuleConfig({KeyNameOf('M') + L"=移动文件|" + target_.Path()}), files);
    ZemoApp& app = *app_;
    const TempDirectory& source = source_;

    // Selects the file (which previews it), moves it with the rule's key, and undoes it.
    const auto moveAndUndo = [&](const wchar_t* name) {
        const int row = FileRowOf(app, name);
        ASSERT_TRUE(PressOnFile(app, name, {'M'}));
        ASSERT_TRUE(RowResultIs(app, row, L"移动成功", 30000));
        PressKeys({VK_LCONTROL, 'Z'});
        ASSERT_TRUE(RowResultIs(app, row, L"已撤销", 30000));
        ASSERT_TRUE(FileExists(source / name));
    };
    // One round of each kind first, so threads started once on first use are counted.
    for (const wchar_t* name : kFiles)
        ASSERT_NO_FATAL_FAILURE(moveAndUndo(name));
    int before = Threads(app);
    for (int round = 0; round < kRounds; ++round)
        ASSERT_NO_FATAL_FAILURE(moveAndUndo(kFiles[round % std::size(kFiles)]));
    int after = Threads(app);
    std::printf("threads before %d moves and undos: %d, after: %d\n", 2 * kRounds, before, after);
    EXPECT_LE(after, before + kAllowedGrowth);

    // Another program (or an earlier move) took one file away, and holds the other open
    // without sharing it; both rows stay listed.
    ASSERT_TRUE(DeleteFileW((source / L"clip.mp4").c_str()));
    const HANDLE held = CreateFileW((source / L"song.mp3").c_str(), GENERIC_READ, 0, nullptr,
                                    OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, held);
    const UniqueKernelHandle holder(held);
    const int clip = FileRowOf(app, L"clip.mp4");
    const int song = FileRowOf(app, L"song.mp3");
    ASSERT_TRUE(app.ClickFileRow(clip));
    ASSERT_TRUE(app.ClickFileRow(song));
    before = Threads(app);
    for (int round = 0; round < kRounds; ++round) {
        ASSERT_TRUE(app.ClickFileRow(clip));
        ASSERT_TRUE(app.ClickFileRow(song));
    }
    after = Threads(app);
    std::printf("threads before %d steps onto unreadable media: %d, after: %d\n", 2 * kRounds,
                before, after);
    EXPECT_LE(after, before + kAllowedGrowth);
    DWORD_PTR answer = 0;
    EXPECT_NE(
        0, SendMessageTimeoutW(app.MainWindow(), WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 5000, &answer));
}
