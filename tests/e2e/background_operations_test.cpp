// Copies and moves in the background, in the real program: a window that keeps answering
// during a large copy, whole files only, the journal, closing with work pending, undo.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cwctype>
#include <memory>
#include <string>

#include "tests/support/config_file.h"
#include "tests/support/input.h"
#include "tests/support/sorting_files.h"
#include "tests/support/zemo_app.h"

namespace {

constexpr uint64_t kGigabyte = 1ULL << 30;

bool IsProgressText(const std::wstring& text, const std::wstring& verb) {
    // "复制中 37%": the verb, a space, the percentage without padding.
    if (text.rfind(verb + L" ", 0) != 0 || text.size() < verb.size() + 3 || text.back() != L'%')
        return false;
    const std::wstring digits = text.substr(verb.size() + 1, text.size() - verb.size() - 2);
    return !digits.empty() && (digits == L"0" || digits[0] != L'0') &&
           std::all_of(digits.begin(), digits.end(), [](wchar_t c) { return iswdigit(c); });
}

class BackgroundOperationsTest : public ::testing::Test {
  protected:
    void StartWith(std::string config,
                   std::initializer_list<std::pair<std::wstring, std::string>> files,
                   int bigFiles = 0) {
        for (const auto& [name, content] : files)
            WriteFileBytes(source_ / name, content);
        app_ = std::make_unique<ZemoApp>(std::move(config));
        ASSERT_TRUE(app_->Start());
        ASSERT_TRUE(app_->LoadDirectory(source_.Path(), static_cast<int>(files.size()) + bigFiles));
    }
    // The row of a file; a name outside code page 936 is shown as that code page can show
    // it, so such a name is found by its first part before the foreign characters.
    int RowOf(const std::wstring& name) {
        const std::vector<std::wstring> names = app_->FileList().Column(1);
        const std::wstring prefix = name.substr(0, name.find(L'\u00e9'));
        for (size_t row = 0; row < names.size(); ++row)
            if (names[row] == name || (prefix != name && names[row].rfind(prefix, 0) == 0))
                return static_cast<int>(row);
        return -1;
    }
    std::wstring Result(int row) { return app_->FileList().Text(row, 3); }
    bool RowShows(int row, const std::wstring& operation, const std::wstring& result,
                  DWORD timeoutMs = 60000) {
        return WaitUntil(
            [&] { return app_->FileList().Text(row, 2) == operation && Result(row) == result; },
            timeoutMs);
    }
    // Clicks the row and presses the key.
    void Press(const std::wstring& name, WORD key) {
        ASSERT_TRUE(app_->ClickFileRow(RowOf(name)));
        PressKeys({key});
    }
    bool RowShowsProgress(int row, const std::wstring& verb) {
        return WaitUntil([&] { return IsProgressText(Result(row), verb); }, 60000);
    }
    std::vector<std::vector<std::wstring>> Journal() {
        return JournalRecords(app_->Directory() + L"\\操作记录.csv");
    }
    // Chooses "撤销" in the file row's right-click menu.
    bool UndoByMenu(int row) {
        RightClickAt(app_->FileList().CellCentreOnScreen(row, 1));
        if (!WaitForTopLevelWindow(app_->Process().Id(), L"#32768"))
            return false;
        PressKeys({VK_DOWN});
        PressKeys({VK_RETURN});
        return WaitUntil([&] { return !FindTopLevelWindow(app_->Process().Id(), L"#32768"); });
    }

    TempDirectory source_;
    TempDirectory target_;
    std::unique_ptr<ZemoApp> app_;
};

}  // namespace

TEST_F(BackgroundOperationsTest, TheWindowAnswersDuringAGigabyteCopyWhileTheRowShowsItsProgress) {
    ASSERT_TRUE(CreateLargeFile(source_ / L"big.bin", kGigabyte));
    StartWith(RulesConfig({{KeyNameOf('C'), L"复制文件", target_.Path()}}),
              {{L"small.txt", "small"}}, 1);
    const int big = RowOf(L"big.bin");
    const int small = RowOf(L"small.txt");
    Press(L"big.bin", 'C');
    // A second press during the copy queues behind it, and rows can still be selected.
    ASSERT_TRUE(RowShowsProgress(big, L"复制中"));
    Press(L"small.txt", 'C');
    EXPECT_TRUE(RowShows(small, L"复制文件", L"等待中", 5000));

    DWORD worstMs = 0;
    bool sawProgress = false;
    while (Result(big) != L"复制成功") {
        const DWORD start = GetTickCount();
        DWORD_PTR ignored = 0;
        ASSERT_NE(
            0, SendMessageTimeoutW(app_->MainWindow(), WM_NULL, 0, 0, SMTO_NORMAL, 2000, &ignored));
        worstMs = std::max(worstMs, GetTickCount() - start);
        sawProgress = sawProgress || IsProgressText(Result(big), L"复制中");
        ASSERT_NE(L"复制失败", Result(big));
        Sleep(20);
    }
    EXPECT_TRUE(sawProgress);
    ASSERT_TRUE(RowShows(small, L"复制文件", L"复制成功"));
    EXPECT_EQ(static_cast<int64_t>(kGigabyte), FileSizeOf(target_ / L"big.bin"));
    EXPECT_EQ("small", ReadFileBytes(target_ / L"small.txt"));
    EXPECT_EQ(2u, FolderListing(target_.Path()).size());
    std::printf("worst answer time of the window during the copy: %lu ms\n", worstMs);
}

// Presses one after another, without waiting for any result: names with a comma and
// outside code page 936, a target name taken already, a file held with reading and writing
// shared (only its move fails) and one held by another program without sharing (its copy
// fails too). Each ends in order and is a journal line; each failure keeps its reason.
TEST_F(BackgroundOperationsTest, QuickPressesEndInOrderAsJournalLinesAndFailuresKeepTheirReasons) {
    const std::wstring moved = target_ / L"moved";
    CreateDirectoryW(moved.c_str(), nullptr);
    const std::wstring foreign = L"caf\u00e9 \ud55c\uad6d \U0001F600.mp3";
    StartWith(RulesConfig({{KeyNameOf('C'), L"复制文件", target_.Path()},
                           {KeyNameOf('M'), L"移动文件", moved}}),
              {{L"a.txt", "a"},
               {L"b, two.txt", "b"},
               {foreign, "f"},
               {L"clash.txt", "new"},
               {L"held.mp4", "v"},
               {L"locked.mp4", "l"}});
    WriteFileBytes(target_ / L"clash.txt", "precious");
    const TempDirectory markers;
    const std::wstring marker = markers / L"locked.marker";
    TestProcess holder(ProgramPath(L"hold_file.exe"),
                       L"\"" + (source_ / L"locked.mp4") + L"\" \"" + marker + L"\"");
    ASSERT_TRUE(WaitUntil([&] { return FileExists(marker); }));
    const HANDLE held =
        CreateFileW((source_ / L"held.mp4").c_str(), GENERIC_READ,
                    FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, held);

    struct Step {
        std::wstring file;
        WORD key;  // C copies to the target folder, M moves to `moved`
        std::wstring result;
    };
    const std::vector<Step> steps = {
        {L"a.txt", 'C', L"复制成功"},      {L"b, two.txt", 'M', L"移动成功"},
        {foreign, 'C', L"复制成功"},       {L"clash.txt", 'C', L"复制失败"},
        {L"held.mp4", 'M', L"移动失败"},   {L"locked.mp4", 'C', L"复制失败"},
        {L"locked.mp4", 'M', L"移动失败"},
    };
    const auto operationOf = [](const Step& step) {
        return std::wstring(step.key == 'C' ? L"复制文件" : L"移动文件");
    };
    // All but the last one after another, without waiting for any result.
    for (size_t i = 0; i + 1 < steps.size(); ++i)
        Press(steps[i].file, steps[i].key);
    for (size_t i = 0; i + 1 < steps.size(); ++i)
        EXPECT_TRUE(RowShows(RowOf(steps[i].file), operationOf(steps[i]), steps[i].result)) << i;
    CloseHandle(held);
    // The file held without sharing cannot be moved either.
    Press(L"locked.mp4", 'M');
    EXPECT_TRUE(RowShows(RowOf(L"locked.mp4"), L"移动文件", L"移动失败"));
    holder.Terminate();
    holder.WaitForExit();

    EXPECT_EQ("precious", ReadFileBytes(target_ / L"clash.txt"));
    EXPECT_EQ("b", ReadFileBytes(moved + L"\\b, two.txt"));
    EXPECT_EQ("f", ReadFileBytes(target_ / foreign));
    EXPECT_EQ("v", ReadFileBytes(source_ / L"held.mp4"));
    EXPECT_EQ("l", ReadFileBytes(source_ / L"locked.mp4"));
    EXPECT_EQ(std::vector<std::wstring>{L"b, two.txt"}, FolderListing(moved));
    EXPECT_EQ(4u, FolderListing(target_.Path()).size());  // a.txt, the foreign file, clash, moved

    const auto records = Journal();
    ASSERT_EQ(steps.size(), records.size());
    for (size_t i = 0; i < records.size(); ++i) {
        const Step& step = steps[i];
        const std::wstring target = (step.key == 'C' ? target_.Path() : moved) + L"\\" + step.file;
        ASSERT_EQ(6u, records[i].size());
        // Local time, ISO 8601: 2026-12-07T04:05:06.
        EXPECT_EQ(19u, records[i][0].size());
        EXPECT_EQ(L'T', records[i][0][10]);
        EXPECT_EQ((std::vector<std::wstring>{operationOf(step), source_ / step.file, target,
                                             step.result}),
                  std::vector<std::wstring>(records[i].begin() + 1, records[i].begin() + 5));
        // The system's reason, for failures only.
        EXPECT_EQ(step.result.find(L"失败") != std::wstring::npos, !records[i][5].empty()) << i;
    }
}

// A copy whose name another program takes meanwhile fails and leaves that file; a copy
// killed half-way leaves nothing under its final name, and a later read of the folder
// does not list what it left.
TEST_F(BackgroundOperationsTest, AnInterruptedCopyNeitherReplacesNorLeavesAFileUnderItsName) {
    ASSERT_TRUE(CreateLargeFile(source_ / L"taken.bin", kGigabyte));
    ASSERT_TRUE(CreateLargeFile(source_ / L"killed.bin", kGigabyte));
    StartWith(RulesConfig({{KeyNameOf('C'), L"复制文件", target_.Path()}}), {}, 2);
    Press(L"taken.bin", 'C');
    ASSERT_TRUE(RowShowsProgress(RowOf(L"taken.bin"), L"复制中"));
    ASSERT_TRUE(WriteFileBytes(target_ / L"taken.bin", "another program's file"));
    ASSERT_TRUE(RowShows(RowOf(L"taken.bin"), L"复制文件", L"复制失败"));
    EXPECT_EQ("another program's file", ReadFileBytes(target_ / L"taken.bin"));
    EXPECT_EQ(std::vector<std::wstring>{L"taken.bin"}, FolderListing(target_.Path()));

    Press(L"killed.bin", 'C');
    const int killed = RowOf(L"killed.bin");
    ASSERT_TRUE(WaitUntil([&] {
        const std::wstring text = Result(killed);
        return IsProgressText(text, L"复制中") && text != L"复制中 0%";
    }));
    app_->Process().Terminate();
    ASSERT_TRUE(app_->Process().WaitForExit());
    EXPECT_FALSE(FileExists(target_ / L"killed.bin"));
    ZemoApp second;
    ASSERT_TRUE(second.Start());
    ASSERT_TRUE(second.LoadDirectory(target_.Path(), 1));
    EXPECT_EQ(std::vector<std::wstring>{L"taken.bin"}, second.FileList().Column(1));
}

TEST_F(BackgroundOperationsTest, OnAnotherVolumeAFullDiskOrAHeldSourceLeavesEachFileInOnePlace) {
    // A file system of 1 MB, mounted by the test script where it runs as root.
    wchar_t volume[MAX_PATH] = {};
    if (!GetEnvironmentVariableW(L"ZEMO_TEST_SMALL_VOLUME", volume, MAX_PATH))
        GTEST_SKIP() << "no 1 MB file system mounted (scripts/test.sh mounts one as root)";
    const std::wstring small = volume;
    std::string big(3 << 20, 'x');
    StartWith(
        RulesConfig({{KeyNameOf('C'), L"复制文件", small}, {KeyNameOf('M'), L"移动文件", small}}),
        {{L"big.bin", big}, {L"big moved.bin", big}, {L"held.txt", "h"}, {L"moved.txt", "m"}});

    const HANDLE held =
        CreateFileW((source_ / L"held.txt").c_str(), GENERIC_READ,
                    FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr);
    Press(L"big.bin", 'C');        // does not fit
    Press(L"big moved.bin", 'M');  // does not fit either: it stays where it was
    Press(L"held.txt", 'M');       // copied over, but its source cannot be deleted
    Press(L"moved.txt", 'M');
    ASSERT_TRUE(RowShows(RowOf(L"moved.txt"), L"移动文件", L"移动成功"));
    CloseHandle(held);
    EXPECT_EQ(L"复制失败", Result(RowOf(L"big.bin")));
    EXPECT_EQ(L"移动失败", Result(RowOf(L"big moved.bin")));
    EXPECT_EQ(L"移动失败", Result(RowOf(L"held.txt")));
    EXPECT_TRUE(ReadFileBytes(source_ / L"big moved.bin") == big);
    EXPECT_EQ("h", ReadFileBytes(source_ / L"held.txt"));
    EXPECT_FALSE(FileExists(source_ / L"moved.txt"));
    EXPECT_EQ("m", ReadFileBytes(small + L"\\moved.txt"));
    EXPECT_EQ(std::vector<std::wstring>{L"moved.txt"}, FolderListing(small));
    DeleteFileW((small + L"\\moved.txt").c_str());
}

TEST_F(BackgroundOperationsTest, ReadingAnotherFolderOrClosingWithWorkPendingAsksFirst) {
    ASSERT_TRUE(CreateLargeFile(source_ / L"big.bin", kGigabyte / 2));
    // Sparse, so made at once, but its copy writes every byte: long enough to outlast the
    // question below on any machine, and cancelled long before it fills a disk.
    ASSERT_TRUE(CreateLargeFile(source_ / L"big2.bin", 8 * kGigabyte));
    StartWith(RulesConfig({{KeyNameOf('C'), L"复制文件", target_.Path()}}), {}, 2);
    const std::wstring title = L"信息";

    // Reading another folder: "No" keeps the list and the copy goes on to its end.
    Press(L"big.bin", 'C');
    app_->ReadDirectory(target_.Path());
    MessageBoxInfo box = WaitForMessageBox(app_->Process().Id(), &title);
    ASSERT_NE(nullptr, box.window);
    EXPECT_EQ(L"还有 1 个文件操作未完成，停止并读取新目录吗？", box.text);
    ASSERT_TRUE(AnswerMessageBox(box.window, IDNO));
    ASSERT_TRUE(RowShows(RowOf(L"big.bin"), L"复制文件", L"复制成功"));
    EXPECT_EQ(2, app_->FileList().ItemCount());

    // Closing: "Yes" stops the copy, leaves nothing of it, and the program ends with 0.
    // The key is input, and input comes after posted messages: the close waits for it.
    Press(L"big2.bin", 'C');
    ASSERT_TRUE(WaitUntil([&] { return !Result(RowOf(L"big2.bin")).empty(); }));
    PostMessageW(app_->MainWindow(), WM_CLOSE, 0, 0);
    box = WaitForMessageBox(app_->Process().Id(), &title);
    ASSERT_NE(nullptr, box.window);
    EXPECT_EQ(L"还有 1 个文件操作未完成，停止并退出吗？", box.text);
    ASSERT_TRUE(AnswerMessageBox(box.window, IDYES));
    EXPECT_EQ(std::optional<DWORD>(0), app_->Process().WaitForExit());
    EXPECT_EQ(std::vector<std::wstring>{L"big.bin"}, FolderListing(target_.Path()));
    const auto records = Journal();
    ASSERT_EQ(2u, records.size());
    EXPECT_EQ(L"已取消", records[1][4]);
}

TEST_F(BackgroundOperationsTest, UndoMovesBackRecyclesACopyAndRefusesAChangedCopyOrATakenPlace) {
    StartWith(RulesConfig({{KeyNameOf('C'), L"复制文件", target_.Path()},
                           {KeyNameOf('M'), L"移动文件", target_.Path()}}),
              {{L"m.txt", "m"}, {L"c.txt", "c"}, {L"changed.txt", "x"}, {L"blocked.txt", "b"}});
    Press(L"m.txt", 'M');
    Press(L"c.txt", 'C');
    Press(L"changed.txt", 'C');
    Press(L"blocked.txt", 'M');
    ASSERT_TRUE(RowShows(RowOf(L"blocked.txt"), L"移动文件", L"移动成功"));
    WriteFileBytes(target_ / L"changed.txt", "changed since");
    WriteFileBytes(source_ / L"blocked.txt", "a new file in the old place");

    // The menu undoes the row under the mouse; its old place is taken: refused.
    ASSERT_TRUE(UndoByMenu(RowOf(L"blocked.txt")));
    ASSERT_TRUE(RowShows(RowOf(L"blocked.txt"), L"移动文件", L"撤销失败"));
    EXPECT_EQ("b", ReadFileBytes(target_ / L"blocked.txt"));
    EXPECT_EQ("a new file in the old place", ReadFileBytes(source_ / L"blocked.txt"));

    // Ctrl+Z takes the most recent operation not undone: the changed copy is refused,
    // the next one is recycled.
    ASSERT_TRUE(app_->ClickFileRow(RowOf(L"m.txt")));
    PressKeys({VK_LCONTROL, 'Z'});
    ASSERT_TRUE(RowShows(RowOf(L"changed.txt"), L"复制文件", L"撤销失败"));
    EXPECT_EQ("changed since", ReadFileBytes(target_ / L"changed.txt"));
    PressKeys({VK_LCONTROL, 'Z'});
    ASSERT_TRUE(RowShows(RowOf(L"c.txt"), L"复制文件", L"已撤销"));
    EXPECT_FALSE(FileExists(target_ / L"c.txt"));
    EXPECT_EQ("c", ReadFileBytes(source_ / L"c.txt"));

    ASSERT_TRUE(UndoByMenu(RowOf(L"m.txt")));
    ASSERT_TRUE(RowShows(RowOf(L"m.txt"), L"移动文件", L"已撤销"));
    EXPECT_EQ("m", ReadFileBytes(source_ / L"m.txt"));
    EXPECT_FALSE(FileExists(target_ / L"m.txt"));

    const auto records = Journal();
    ASSERT_EQ(8u, records.size());
    EXPECT_EQ((std::vector<std::wstring>{L"撤销移动", target_ / L"blocked.txt",
                                         source_ / L"blocked.txt", L"撤销失败"}),
              std::vector<std::wstring>(records[4].begin() + 1, records[4].begin() + 5));
    EXPECT_EQ(L"撤销复制", records[6][1]);
    EXPECT_EQ(L"已撤销", records[6][4]);
    EXPECT_EQ(L"已撤销", records[7][4]);
}
