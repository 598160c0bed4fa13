// Sorting files with hotkeys in the real program: real key strokes with their scan codes
// and extended flags, the rows read back across processes, the files checked on disk. A
// hotkey sorts exactly the rows the user selected, as the list stood when the key was
// pressed, and has no other effect.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "tests/support/config_file.h"
#include "tests/support/input.h"
#include "tests/support/key_strokes.h"
#include "tests/support/remote_selection.h"
#include "tests/support/sorting_files.h"
#include "tests/support/zemo_app.h"

namespace {

using Files = std::vector<std::pair<std::wstring, std::string>>;

// The prefix that makes the system take a path exactly as spelt.
const std::wstring kExact = L"\\\\?\\";

Files NumberedFiles(int count) {
    Files files;
    for (int i = 0; i < count; ++i)
        files.emplace_back(L"file" + std::to_wstring(100 + i) + L".txt", std::to_string(i));
    return files;
}

int CountFiles(const std::wstring& folder) {
    return static_cast<int>(FolderListing(folder).size());
}

std::wstring NameOf(WORD key) {
    return HotkeyNameOf(StrokeOf(key));
}

class SortingTest : public ::testing::Test {
  protected:
    // The program with `config`, its list showing `files` (written to the source folder
    // under their exact names) and the `alreadyThere` files the test made there itself.
    void StartWith(std::string config, const Files& files, int alreadyThere = 0) {
        for (const auto& [name, content] : files)
            WriteFileBytes(kExact + (source_ / name), content);
        app_ = std::make_unique<ZemoApp>(std::move(config));
        ASSERT_TRUE(app_->Start());
        ASSERT_TRUE(
            app_->LoadDirectory(source_.Path(), static_cast<int>(files.size()) + alreadyThere));
    }
    int RowOf(const std::wstring& name) {
        const std::vector<std::wstring> names = app_->FileList().Column(1);
        const auto found = std::find(names.begin(), names.end(), name);
        return found == names.end() ? -1 : static_cast<int>(found - names.begin());
    }
    std::wstring Result(int row) { return app_->FileList().Text(row, 3); }
    bool RowShows(int row, const std::wstring& result) {
        return WaitUntil([&] { return Result(row) == result; });
    }
    // Selects the row of `name` alone, presses `key` and waits for `result` in the row.
    bool PressOn(const std::wstring& name, WORD key, const std::wstring& result) {
        const int row = RowOf(name);
        if (row < 0 || !app_->ClickFileRow(row))
            return false;
        SendBurst({StrokeOf(key)});
        return RowShows(row, result);
    }
    // Adds a row to the selection, or takes it away, as Ctrl+click does.
    bool CtrlClickFileRow(int row, bool selected) {
        return SetRowSelected(app_->FileList().Handle(), row, selected, true) &&
               app_->FileList().IsSelected(row) == selected;
    }

    TempDirectory source_;
    TempDirectory target_;
    std::unique_ptr<ZemoApp> app_;
};

}  // namespace

// Every copy and move takes its row's exact file, whatever its name (a trailing dot or
// blank, a device name, a path over 260 characters, outside code page 936) and however
// long its target; it never replaces a file, and every failure touches nothing.
TEST_F(SortingTest,
       CopiesAndMovesTakeTheRowsExactFileNeverReplaceOneAndFailuresTouchNothingAnyCodePage) {
    const std::wstring missing = target_ / L"missing";
    const std::wstring longName = std::wstring(240, L'n') + L".mp4";
    ASSERT_GT((target_ / longName).size(), 260u);
    std::wstring deep = target_.Path();  // longer than a list cell holds
    for (const wchar_t letter : {L'p', L'q'}) {
        deep += L"\\" + std::wstring(150, letter);
        ASSERT_TRUE(CreateDirectoryW((kExact + deep).c_str(), nullptr));
    }
    const std::wstring song = L"caf\u00e9 \ud55c\uad6d \U0001F600.mp3";
    const std::string photo(100000, 'p');
    Files files = {{L"photo.jpg", photo},  {L"clash.jpg", "new content"},
                   {L"clip.mp4", "video"}, {L"stay.txt", "text"},
                   {L"a", "plain a"},      {L"a.", "dotted a"},
                   {L"b ", "blank b"},     {L"b", "plain b"}};
    for (const std::wstring& name :
         {std::wstring(L"con.mp4"), longName, song, std::wstring(L"\ud55c\uae00.jpg"),
          std::wstring(L"照片.jpg"), std::wstring(L"\u3072\u3089\u304c\u306a.mp4")})
        files.emplace_back(name, "song");
    // Rules without a target only an edited file can hold; they must not reach the root.
    StartWith(RulesConfig({{NameOf('C'), L"复制文件", target_.Path()},
                           {NameOf('M'), L"移动文件", target_.Path()},
                           {NameOf('D'), L"复制文件", deep},
                           {NameOf('N'), L"移动文件", missing},
                           {NameOf('E'), L"复制文件", L""},
                           {NameOf('R'), L"移动文件", L""}}),
              files);
    WriteFileBytes(target_ / L"clash.jpg", "precious");
    std::set<std::wstring> names;
    for (const auto& file : files)
        names.insert(file.first);
    const std::vector<std::wstring> column = app_->FileList().Column(1);
    EXPECT_EQ(names, std::set<std::wstring>(column.begin(), column.end()));

    // A second copy finds the first and fails, changing nothing.
    ASSERT_TRUE(PressOn(L"photo.jpg", 'C', L"复制成功"));
    EXPECT_EQ(L"复制文件", app_->FileList().Text(RowOf(L"photo.jpg"), 2));
    ASSERT_TRUE(PressOn(L"photo.jpg", 'C', L"复制失败"));
    EXPECT_EQ(photo, ReadFileBytes(target_ / L"photo.jpg"));
    ASSERT_TRUE(PressOn(L"clash.jpg", 'C', L"复制失败"));
    EXPECT_EQ("precious", ReadFileBytes(target_ / L"clash.jpg"));
    EXPECT_EQ("new content", ReadFileBytes(source_ / L"clash.jpg"));
    ASSERT_TRUE(PressOn(song, 'D', L"复制成功"));
    EXPECT_EQ("song", ReadFileBytes(kExact + deep + L"\\" + song));

    // A move leaves the row with its file; moving it again fails.
    ASSERT_TRUE(PressOn(L"clip.mp4", 'M', L"移动成功"));
    EXPECT_EQ(L"移动文件", app_->FileList().Text(RowOf(L"clip.mp4"), 2));
    EXPECT_FALSE(FileExists(source_ / L"clip.mp4"));
    ASSERT_TRUE(PressOn(L"clip.mp4", 'M', L"移动失败"));
    EXPECT_EQ("video", ReadFileBytes(target_ / L"clip.mp4"));
    for (const std::wstring& name :
         {std::wstring(L"a."), std::wstring(L"b "), std::wstring(L"con.mp4"), longName}) {
        ASSERT_TRUE(PressOn(name, 'M', L"移动成功")) << name;
        EXPECT_TRUE(FileExists(kExact + (target_ / name))) << name;
    }
    EXPECT_EQ("dotted a", ReadFileBytes(kExact + (target_ / L"a.")));
    EXPECT_EQ("blank b", ReadFileBytes(kExact + (target_ / L"b ")));
    EXPECT_EQ("plain a", ReadFileBytes(source_ / L"a"));
    EXPECT_EQ("plain b", ReadFileBytes(source_ / L"b"));

    ASSERT_TRUE(PressOn(L"stay.txt", 'N', L"移动失败"));
    ASSERT_TRUE(PressOn(L"stay.txt", 'E', L"复制失败"));
    ASSERT_TRUE(PressOn(L"stay.txt", 'R', L"移动失败"));
    EXPECT_EQ("text", ReadFileBytes(source_ / L"stay.txt"));
    EXPECT_FALSE(FileExists(L"\\stay.txt"));
}

TEST_F(SortingTest, OnlyKeyDownsWithTheRuleModifierFireAndTheFirstOfTwoEqualRulesWins) {
    const std::wstring plain = target_ / L"plain", combo = target_ / L"combo";
    const std::wstring first = target_ / L"first", second = target_ / L"second";
    const std::wstring marker = target_ / L"marker";
    for (const std::wstring& dir : {plain, combo, first, second, marker})
        CreateDirectoryW(dir.c_str(), nullptr);
    StartWith(RulesConfig({{KeyNameOf(VK_CONTROL) + L"+" + KeyNameOf('J'), L"复制文件", combo},
                           {KeyNameOf('L'), L"复制文件", plain},
                           {KeyNameOf('G'), L"复制文件", first},
                           {KeyNameOf('G'), L"复制文件", second},
                           {KeyNameOf('H'), L"复制文件", marker}}),
              {{L"one.txt", "1"}, {L"two.txt", "2"}, {L"x.txt", "x"}});
    const int one = RowOf(L"one.txt");
    ASSERT_TRUE(app_->ClickFileRow(one));
    PressKeys({VK_LCONTROL, 'L'});  // a plain rule does not fire while a modifier is held
    PressKeys({'J'});               // a combination rule does not fire without its modifier
    PressKeys({VK_LCONTROL, 'J'});
    ASSERT_TRUE(RowShows(one, L"复制成功"));
    EXPECT_EQ((std::vector<std::wstring>{L"one.txt"}), FolderListing(combo));
    EXPECT_TRUE(FolderListing(plain).empty());
    ASSERT_TRUE(PressOn(L"two.txt", 'L', L"复制成功"));
    EXPECT_EQ((std::vector<std::wstring>{L"two.txt"}), FolderListing(plain));
    EXPECT_EQ((std::vector<std::wstring>{L"one.txt"}), FolderListing(combo));

    const int x = RowOf(L"x.txt");
    ASSERT_TRUE(app_->ClickFileRow(x));
    KeyDown('G');
    ASSERT_TRUE(RowShows(x, L"复制成功"));
    // A held key repeats its key-down: the first rule applies again, and fails now.
    KeyDown('G');
    ASSERT_TRUE(RowShows(x, L"复制失败"));
    // Releasing the key applies nothing. Events are handled in order, so once the marker
    // key's copy is reported the release has been handled too.
    DeleteFileW((first + L"\\x.txt").c_str());
    KeyUp('G');
    PressKeys({'H'});
    ASSERT_TRUE(RowShows(x, L"复制成功"));
    EXPECT_TRUE(FileExists(marker + L"\\x.txt"));
    EXPECT_TRUE(FolderListing(first).empty());
    EXPECT_TRUE(FolderListing(second).empty());
}

TEST_F(SortingTest, LetterAndDigitRulesSortTheSelectedRowsAndNeverMoveTheList) {
    // The list's type-ahead search moves the selection to a row whose text starts with
    // the typed character once it reaches the list; a digit's character used to, and the
    // next press sorted another file.
    TempDirectory digits;
    Files files = NumberedFiles(9);
    files.insert(files.end(),
                 {{L"a-first.txt", "a"}, {L"b-second.txt", "b"}, {L"c-third.txt", "c"}});
    StartWith(RulesConfig({{NameOf('B'), L"复制文件", target_.Path()},
                           {NameOf('1'), L"复制文件", digits.Path()}}),
              files);
    const int row = RowOf(L"a-first.txt");
    ASSERT_TRUE(PressOn(L"a-first.txt", 'B', L"复制成功"));
    EXPECT_EQ((std::vector<std::wstring>{L"a-first.txt"}), FolderListing(target_.Path()));
    SendBurst({StrokeOf('1')});
    ASSERT_TRUE(WaitUntil([&] { return CountFiles(digits.Path()) == 1; }));
    SendBurst({StrokeOf('1')});
    ASSERT_TRUE(RowShows(row, L"复制失败"));
    EXPECT_EQ(row, app_->FileList().SelectionMark());
    EXPECT_TRUE(app_->FileList().IsSelected(row));
    EXPECT_EQ((std::vector<std::wstring>{L"a-first.txt"}), FolderListing(digits.Path()));

    // One press sorts every selected row, and none without a selection.
    const int r0 = RowOf(L"file100.txt"), r2 = RowOf(L"file102.txt");
    const int r4 = RowOf(L"file104.txt"), r5 = RowOf(L"file105.txt");
    ASSERT_TRUE(app_->ClickFileRow(r0));
    ASSERT_TRUE(CtrlClickFileRow(r2, true));
    ASSERT_TRUE(CtrlClickFileRow(r4, true));
    SendBurst({StrokeOf('B')});
    for (const int selected : {r0, r2, r4})
        ASSERT_TRUE(RowShows(selected, L"复制成功")) << "row " << selected;
    EXPECT_EQ(4, CountFiles(target_.Path()));
    for (const int selected : {r0, r2, r4})
        ASSERT_TRUE(CtrlClickFileRow(selected, false)) << "row " << selected;
    SendBurst({StrokeOf('B')});
    ASSERT_TRUE(CtrlClickFileRow(r5, true));
    SendBurst({StrokeOf('B')});
    ASSERT_TRUE(RowShows(r5, L"复制成功"));
    EXPECT_EQ(5, CountFiles(target_.Path()));
    // No other row was sorted, nor these again (a second copy would fail).
    for (const int selected : {r0, r2, r4})
        EXPECT_EQ(L"复制成功", Result(selected)) << "row " << selected;
    const std::vector<std::wstring> results = app_->FileList().Column(3);
    EXPECT_EQ(5, std::count_if(results.begin(), results.end(),
                               [](const std::wstring& result) { return !result.empty(); }));
}

TEST_F(SortingTest, NavigationKeysNeverFireKeypadRulesAndKeypadKeysStillDo) {
    // One rule per keypad key that shares its scan code with a navigation key, each with
    // a target of its own.
    const WORD keypad[] = {VK_NUMPAD2, VK_NUMPAD4, VK_NUMPAD6, VK_NUMPAD9, VK_NUMPAD3, VK_NUMPAD0};
    std::vector<std::unique_ptr<TempDirectory>> targets;
    std::string config = Gbk(L"[快捷键配置]") + "\r\n";
    for (const WORD key : keypad) {
        targets.push_back(std::make_unique<TempDirectory>());
        config +=
            Gbk(HotkeyNameOf(KeypadStroke(key)) + L"=复制文件|" + targets.back()->Path()) + "\r\n";
    }
    StartWith(config, NumberedFiles(30));
    ASSERT_TRUE(app_->ClickFileRow(0));

    SendBurst({StrokeOf(VK_DOWN), StrokeOf(VK_LEFT), StrokeOf(VK_RIGHT), StrokeOf(VK_NEXT),
               StrokeOf(VK_PRIOR), StrokeOf(VK_INSERT)});
    // Every keypad key after them fires its own rule, once, on the row they left selected.
    for (const WORD key : keypad)
        SendBurst({KeypadStroke(key)});
    for (const auto& target : targets)
        ASSERT_TRUE(WaitUntil([&] { return CountFiles(target->Path()) == 1; }))
            << "rule of keypad key " << (&target - &targets[0]);
    const int row = app_->FileList().SelectionMark();
    EXPECT_TRUE(RowShows(row, L"复制成功"));
    const std::vector<std::wstring> results = app_->FileList().Column(3);
    for (int i = 0; i < static_cast<int>(results.size()); ++i) {
        if (i != row) {
            EXPECT_EQ(L"", results[i]) << "row " << i;
        }
    }
}

TEST_F(SortingTest, KeysPressedDuringALargeCopyActOnTheRowsTheirArrowsMovedTo) {
    // The bursts are sent while the program is still busy copying a large file (sparse,
    // so quick to make; its copy still writes it all), so every key waits its turn.
    TempDirectory bigTarget;
    TempDirectory moved;
    const std::wstring big = L"big.bin";
    ASSERT_TRUE(CreateLargeFile(source_ / big, 256ull << 20));
    StartWith(RulesConfig({{NameOf(VK_F8), L"复制文件", bigTarget.Path()},
                           {NameOf(VK_F9), L"复制文件", target_.Path()},
                           {NameOf(VK_F10), L"移动文件", moved.Path()}}),
              NumberedFiles(22), 1);
    const int bigRow = RowOf(big);
    ASSERT_GE(bigRow, 0);
    // Down, or Up where the big file is listed too near the end.
    const int step = bigRow + 11 < 23 ? 1 : -1;
    const WORD arrow = step > 0 ? VK_DOWN : VK_UP;
    ASSERT_TRUE(app_->ClickFileRow(bigRow));
    SendBurst({StrokeOf(VK_F8)});
    ASSERT_TRUE(WaitUntil([&] { return FileExists(bigTarget / big); }, 30000));
    for (int i = 0; i < 10; ++i)
        SendBurst({StrokeOf(arrow), StrokeOf(VK_F9)});
    const int last = bigRow + 11 * step;
    const std::wstring lastName = app_->FileList().Text(last, 1);
    SendBurst({StrokeOf(arrow), StrokeOf(VK_F10)});

    for (int i = 1; i <= 10; ++i)
        ASSERT_TRUE(RowShows(bigRow + i * step, L"复制成功")) << "burst " << i;
    ASSERT_TRUE(RowShows(last, L"移动成功"));
    EXPECT_TRUE(RowShows(bigRow, L"复制成功"));
    EXPECT_EQ(last, app_->FileList().SelectionMark());
    EXPECT_TRUE(FileExists(source_ / big));
    EXPECT_FALSE(FileExists(target_ / big));
    EXPECT_EQ(10, CountFiles(target_.Path()));
    EXPECT_EQ((std::vector<std::wstring>{lastName}), FolderListing(moved.Path()));
    EXPECT_FALSE(FileExists(source_ / lastName));
}
