// Copies and moves in the background, in the real program: a window that keeps answering
// during a large copy, quick presses ending in order as journal lines, a copy killed
// half-way, closing or reading another folder with work pending, undo.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "tests/support/config_file.h"
#include "tests/support/folder_session.h"
#include "tests/support/input.h"
#include "tests/support/row_presses.h"
#include "tests/support/sorting_files.h"
#include "tests/support/zemo_app.h"
#include "ui/unique_handle.h"

namespace {

constexpr uint64_t kGigabyte = 1ULL << 30;
constexpr DWORD kCopyWaitMs = 60000;

class BackgroundOperationsTest : public FolderSessionTest {
  protected:
    ::testing::AssertionResult Shows(const std::wstring& name, const std::wstring& result) {
        return RowResultIs(*app_, RowOf(name), result, kCopyWaitMs);
    }
    // The row shows a copy's percentage above 0 (its exact form is the row store's).
    ::testing::AssertionResult ShowsProgress(const std::wstring& name) {
        std::wstring text;
        if (WaitUntil(
                [&] {
                    text = ResultOf(name);
                    return text.rfind(L"复制中 ", 0) == 0 && text != L"复制中 0%";
                },
                kCopyWaitMs))
            return ::testing::AssertionSuccess();
        return ::testing::AssertionFailure()
               << ::testing::PrintToString(name) << "'s row shows "
               << ::testing::PrintToString(text) << " (row " << RowOf(name)
               << "); the focused row is " << app_->FileList().FocusedRow() << " of "
               << app_->FileList().ItemCount();
    }
};

}  // namespace

TEST_F(BackgroundOperationsTest,
       TheWindowAnswersDuringALargeCopyAndReadingAnotherFolderOrClosingWithWorkPendingAsksFirst) {
    ASSERT_TRUE(CreateLargeFile(source_ / L"big.bin", kGigabyte / 2));
    // Sparse, so made at once, but its copy writes every byte: long enough to outlast the
    // checks and the question below on any machine, and cancelled long before it fills a disk.
    ASSERT_TRUE(CreateLargeFile(source_ / L"big2.bin", 8 * kGigabyte));
    StartOn(RuleConfig({KeyNameOf('C') + L"=复制文件|" + target_.Path()}),
            {{L"small.txt", "small"}}, 3);
    const std::wstring title = L"信息";

    // Reading another folder while a long copy runs and another waits behind it: "No" keeps
    // the list and both copies.
    ASSERT_TRUE(PressOnFile(*app_, L"big2.bin", {'C'}));
    ASSERT_TRUE(ShowsProgress(L"big2.bin"));
    ASSERT_TRUE(PressOnFile(*app_, L"big.bin", {'C'}));
    EXPECT_TRUE(RowResultIs(*app_, RowOf(L"big.bin"), L"等待中", 5000));
    app_->ReadDirectory(target_.Path());
    MessageBoxInfo box = WaitForMessageBox(app_->Process().Id(), &title);
    ASSERT_NE(nullptr, box.window);
    EXPECT_EQ(L"还有 2 个文件操作未完成，停止并读取新目录吗？", box.text);
    ASSERT_TRUE(AnswerMessageBox(box.window, IDNO));
    EXPECT_EQ(3, app_->FileList().ItemCount());

    // A third press queues too, rows can still be selected, and the window keeps answering.
    ASSERT_TRUE(PressOnFile(*app_, L"small.txt", {'C'}));
    EXPECT_TRUE(RowResultIs(*app_, RowOf(L"small.txt"), L"等待中", 5000));
    DWORD worstMs = 0;
    for (int sample = 0; sample < 100; ++sample) {
        const DWORD start = GetTickCount();
        DWORD_PTR ignored = 0;
        ASSERT_NE(
            0, SendMessageTimeoutW(app_->MainWindow(), WM_NULL, 0, 0, SMTO_NORMAL, 2000, &ignored));
        worstMs = std::max(worstMs, GetTickCount() - start);
        Sleep(20);
    }
    std::printf("worst answer time of the window during the copy: %lu ms\n", worstMs);
    ASSERT_TRUE(ShowsProgress(L"big2.bin")) << "the copy ended before the window was measured";

    // Closing: "Yes" stops the copies, leaves nothing of them, and the program ends with 0.
    // ("Yes" to reading another folder stops a copy before its box has gone: the application
    // test's.)
    PostMessageW(app_->MainWindow(), WM_CLOSE, 0, 0);
    box = WaitForMessageBox(app_->Process().Id(), &title);
    ASSERT_NE(nullptr, box.window);
    EXPECT_EQ(L"还有 3 个文件操作未完成，停止并退出吗？", box.text);
    ASSERT_TRUE(AnswerMessageBox(box.window, IDYES));
    EXPECT_EQ(std::optional<DWORD>(0), app_->Process().WaitForExit());
    EXPECT_TRUE(FolderListing(target_.Path()).empty());
    const auto records = Journal();
    ASSERT_EQ(3u, records.size());
    for (const auto& record : records)
        EXPECT_EQ(L"已取消", record[4]);
}

// Presses one after another, without waiting for any result: a name with a comma and
// characters code page 936 lacks, and a file held by another program (this test) without
// sharing (neither its copy nor its move can read it). Each ends in order and is a journal
// line; each failure keeps its reason. The menu undoes the row under the mouse, Ctrl+Z the
// most recent operation not undone, and a copy changed since is refused.
TEST_F(BackgroundOperationsTest,
       QuickPressesEndInOrderAsJournalLinesAreUndoneUnlessChangedAndAKilledCopyLeavesNoFile) {
    const std::wstring moved = target_ / L"moved";
    CreateDirectoryW(moved.c_str(), nullptr);
    const std::wstring twoName = L"b, two \u00e9\ud55c.txt";  // outside code page 936 too
    StartOn(RuleConfig({KeyNameOf('C') + L"=复制文件|" + target_.Path(),
                        KeyNameOf('M') + L"=移动文件|" + moved}),
            {{L"a.txt", "a"}, {twoName, "b"}, {L"c.txt", "c"}, {L"locked.mp4", "l"}});
    UniqueKernelHandle locked(CreateFileW((source_ / L"locked.mp4").c_str(), GENERIC_READ, 0,
                                          nullptr, OPEN_EXISTING, 0, nullptr));
    ASSERT_NE(INVALID_HANDLE_VALUE, locked.Get());

    struct Step {
        std::wstring file;
        WORD key;  // C copies to the target folder, M moves to `moved`
        std::wstring result;
    };
    const std::vector<Step> steps = {{L"a.txt", 'C', L"复制成功"},
                                     {twoName, 'M', L"移动成功"},
                                     {L"c.txt", 'C', L"复制成功"},
                                     {L"locked.mp4", 'C', L"复制失败"},
                                     {L"locked.mp4", 'M', L"移动失败"}};
    const auto operationOf = [](const Step& step) {
        return std::wstring(step.key == 'C' ? L"复制文件" : L"移动文件");
    };
    // All but the last one at once; the last on the same row once its copy has ended, so
    // it awaits a result of its own.
    for (size_t i = 0; i + 1 < steps.size(); ++i)
        ASSERT_TRUE(PressOnFile(*app_, steps[i].file, {steps[i].key}));
    for (const Step& step : steps) {
        if (&step == &steps.back()) {
            ASSERT_TRUE(PressOnFile(*app_, step.file, {step.key}));
        }
        EXPECT_TRUE(Shows(step.file, step.result)) << step.file;
    }
    locked.Reset();
    EXPECT_EQ("l", ReadFileBytes(source_ / L"locked.mp4"));
    EXPECT_EQ(std::vector<std::wstring>{twoName}, FolderListing(moved));
    EXPECT_EQ((std::vector<std::wstring>{L"a.txt", L"c.txt", L"moved"}),
              FolderListing(target_.Path()));

    WriteFileBytes(target_ / L"a.txt", "changed since");
    PressKeys({VK_LCONTROL, 'Z'});
    ASSERT_TRUE(Shows(L"c.txt", L"已撤销"));
    EXPECT_EQ("c", ReadFileBytes(source_ / L"c.txt"));
    ASSERT_TRUE(UndoByMenu(twoName));
    ASSERT_TRUE(Shows(twoName, L"已撤销"));
    EXPECT_EQ(L"移动文件", app_->FileList().Text(RowOf(twoName), 2));
    EXPECT_EQ("b", ReadFileBytes(source_ / twoName));
    ASSERT_TRUE(app_->ClickFileRow(RowOf(L"c.txt")));
    PressKeys({VK_LCONTROL, 'Z'});
    ASSERT_TRUE(Shows(L"a.txt", L"撤销失败"));
    EXPECT_EQ("changed since", ReadFileBytes(target_ / L"a.txt"));
    EXPECT_TRUE(FolderListing(moved).empty());
    EXPECT_EQ((std::vector<std::wstring>{L"a.txt", L"moved"}), FolderListing(target_.Path()));

    const auto records = Journal();
    ASSERT_EQ(steps.size() + 3, records.size());
    // A line's operation, source, target and result (the whole line if it is malformed).
    const auto fields = [&](size_t i) {
        return records[i].size() == 6
                   ? std::vector<std::wstring>(records[i].begin() + 1, records[i].begin() + 5)
                   : records[i];
    };
    for (size_t i = 0; i < steps.size(); ++i) {
        const Step& step = steps[i];
        const std::wstring target = (step.key == 'C' ? target_.Path() : moved) + L"\\" + step.file;
        EXPECT_EQ((std::vector<std::wstring>{operationOf(step), source_ / step.file, target,
                                             step.result}),
                  fields(i));
        // The system's reason, for failures only.
        EXPECT_EQ(step.result.find(L"失败") != std::wstring::npos,
                  records[i].size() == 6 && !records[i][5].empty())
            << i;
    }
    EXPECT_EQ((std::vector<std::wstring>{L"撤销复制", target_ / L"c.txt", L"", L"已撤销"}),
              fields(5));
    EXPECT_EQ((std::vector<std::wstring>{L"撤销移动", moved + L"\\" + twoName, source_ / twoName,
                                         L"已撤销"}),
              fields(6));
    EXPECT_EQ((std::vector<std::wstring>{L"撤销复制", target_ / L"a.txt", L"", L"撤销失败"}),
              fields(7));

    // A copy killed half-way leaves nothing under its final name.
    ASSERT_TRUE(CreateLargeFile(source_ / L"killed.bin", kGigabyte));
    app_->ReadDirectory(source_.Path());
    ASSERT_TRUE(WaitUntil([&] { return RowOf(L"killed.bin") >= 0; }));
    ASSERT_TRUE(PressOnFile(*app_, L"killed.bin", {'C'}));
    ASSERT_TRUE(ShowsProgress(L"killed.bin"));
    app_->Process().Terminate();
    ASSERT_TRUE(app_->Process().WaitForExit());
    EXPECT_FALSE(FileExists(target_ / L"killed.bin"));
}
