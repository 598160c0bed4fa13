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
#include "tests/support/folder_session.h"
#include "tests/support/input.h"
#include "tests/support/key_strokes.h"
#include "tests/support/row_presses.h"
#include "tests/support/sorting_files.h"
#include "tests/support/zemo_app.h"

namespace {

using Files = FileContents;

// The prefix that makes the system take a path exactly as spelt.
const std::wstring kExact = L"\\\\?\\";

Files NumberedFiles(int count) {
    Files files;
    for (int i = 0; i < count; ++i)
        files.emplace_back(L"file" + std::to_wstring(100 + i) + L".txt", std::to_string(i));
    return files;
}

class SortingTest : public FolderSessionTest {
  protected:
    ::testing::AssertionResult RowShows(int row, const std::wstring& result) {
        return RowResultIs(*app_, row, result);
    }
    // Adds a row to the selection, or takes it away, as Ctrl+click does.
    bool CtrlClickFileRow(int row, bool selected) {
        return app_->FileList().SetSelected(row, selected, true) &&
               app_->FileList().IsSelected(row) == selected;
    }
};

}  // namespace

// Every copy and move takes its row's exact file, whatever its name (a trailing dot or
// blank, outside code page 936) and however long its target (longer than a list cell
// holds), and a rule without a target touches nothing.
TEST_F(SortingTest, CopiesAndMovesTakeTheRowsExactFileAndATargetlessRuleTouchesNothingAnyCodePage) {
    std::wstring deep = target_.Path();
    for (const wchar_t letter : {L'p', L'q'}) {
        deep += L"\\" + std::wstring(150, letter);
        ASSERT_TRUE(CreateDirectoryW((kExact + deep).c_str(), nullptr));
    }
    const std::wstring song = L"caf\u00e9 \ud55c\uad6d \U0001F600.mp3";
    const std::wstring longName = std::wstring(240, L'n') + L".mp4";  // a path over 260
    Files files = {{L"stay.txt", "text"}, {L"a", "plain a"}, {L"a.", "dotted a"},
                   {L"b ", "blank b"},    {L"b", "plain b"}, {song, "song"},
                   {longName, "long"}};
    // Rules without a target only an edited file can hold; they must not reach the root.
    StartOn(RuleConfig({KeyNameOf('M') + L"=移动文件|" + target_.Path(),
                        KeyNameOf('D') + L"=复制文件|" + deep, KeyNameOf('E') + L"=复制文件|",
                        KeyNameOf('R') + L"=移动文件|"}),
            files);
    std::set<std::wstring> names;
    for (const auto& file : files)
        names.insert(file.first);
    const std::vector<std::wstring> column = app_->FileList().Column(1);
    EXPECT_EQ(names, std::set<std::wstring>(column.begin(), column.end()));

    ASSERT_TRUE(PressOn(song, 'D', L"复制成功"));
    EXPECT_EQ("song", ReadFileBytes(kExact + deep + L"\\" + song));
    for (const std::wstring& name : {std::wstring(L"a."), std::wstring(L"b "), longName}) {
        ASSERT_TRUE(PressOn(name, 'M', L"移动成功")) << name;
        EXPECT_FALSE(FileExists(kExact + (source_ / name))) << name;
    }
    EXPECT_EQ("long", ReadFileBytes(kExact + (target_ / longName)));
    EXPECT_EQ("dotted a", ReadFileBytes(kExact + (target_ / L"a.")));
    EXPECT_EQ("blank b", ReadFileBytes(kExact + (target_ / L"b ")));
    EXPECT_EQ("plain a", ReadFileBytes(source_ / L"a"));
    EXPECT_EQ("plain b", ReadFileBytes(source_ / L"b"));

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
    StartOn(RuleConfig(
                {KeyNameOf(VK_CONTROL) + L"+" + KeyNameOf('J') + L"=复制文件|" + combo,
                 KeyNameOf('L') + L"=复制文件|" + plain, KeyNameOf('G') + L"=复制文件|" + first,
                 KeyNameOf('G') + L"=复制文件|" + second, KeyNameOf('H') + L"=复制文件|" + marker}),
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
    StartOn(RuleConfig({KeyNameOf('B') + L"=复制文件|" + target_.Path(),
                        KeyNameOf('1') + L"=复制文件|" + digits.Path()}),
            files);
    const int row = RowOf(L"a-first.txt");
    ASSERT_TRUE(PressOn(L"a-first.txt", 'B', L"复制成功"));
    EXPECT_EQ((std::vector<std::wstring>{L"a-first.txt"}), FolderListing(target_.Path()));
    SendBurst({StrokeOf('1')});
    ASSERT_TRUE(WaitUntil([&] { return FolderListing(digits.Path()).size() == 1; }));
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
    EXPECT_EQ(4u, FolderListing(target_.Path()).size());
    for (const int selected : {r0, r2, r4})
        ASSERT_TRUE(CtrlClickFileRow(selected, false)) << "row " << selected;
    SendBurst({StrokeOf('B')});
    // A real click, which comes after that key as the user's would: a selection set through
    // the list's messages could overtake the key.
    ASSERT_TRUE(app_->ClickFileRow(r5));
    SendBurst({StrokeOf('B')});
    ASSERT_TRUE(RowShows(r5, L"复制成功"));
    EXPECT_EQ(5u, FolderListing(target_.Path()).size());
    // No other row was sorted, nor these again (a second copy would fail).
    for (const int selected : {r0, r2, r4})
        EXPECT_EQ(L"复制成功", app_->FileList().Text(selected, 3)) << "row " << selected;
    const std::vector<std::wstring> results = app_->FileList().Column(3);
    EXPECT_EQ(5, std::count_if(results.begin(), results.end(),
                               [](const std::wstring& result) { return !result.empty(); }));
}

TEST_F(SortingTest, NavigationKeysNeverFireKeypadRulesAndEachKeyOfABurstActsAfterTheKeysBeforeIt) {
    // One rule per keypad key that shares its scan code with a navigation key, each with
    // a target of its own.
    const WORD keypad[] = {VK_NUMPAD2, VK_NUMPAD4, VK_NUMPAD6, VK_NUMPAD9, VK_NUMPAD3, VK_NUMPAD0};
    std::vector<std::unique_ptr<TempDirectory>> targets;
    std::string config = RuleConfig({KeyNameOf(VK_F9) + L"=复制文件|" + target_.Path()});
    for (const WORD key : keypad) {
        targets.push_back(std::make_unique<TempDirectory>());
        config +=
            Gbk(HotkeyNameOf(KeypadStroke(key)) + L"=复制文件|" + targets.back()->Path()) + "\r\n";
    }
    StartOn(config, NumberedFiles(30));
    ASSERT_TRUE(app_->ClickFileRow(0));

    SendBurst({StrokeOf(VK_DOWN), StrokeOf(VK_LEFT), StrokeOf(VK_RIGHT), StrokeOf(VK_NEXT),
               StrokeOf(VK_PRIOR), StrokeOf(VK_INSERT)});
    // Every keypad key after them fires its own rule, once, on the row they left selected.
    for (const WORD key : keypad)
        SendBurst({KeypadStroke(key)});
    for (const auto& target : targets)
        ASSERT_TRUE(WaitUntil([&] { return FolderListing(target->Path()).size() == 1; }))
            << "rule of keypad key " << (&target - &targets[0]);
    const int row = app_->FileList().SelectionMark();
    EXPECT_TRUE(RowShows(row, L"复制成功"));
    const std::vector<std::wstring> results = app_->FileList().Column(3);
    for (int i = 0; i < static_cast<int>(results.size()); ++i) {
        if (i != row) {
            EXPECT_EQ(L"", results[i]) << "row " << i;
        }
    }

    // Down and a rule's key in one burst, ten times: each copy takes the row Down moved to.
    ASSERT_LT(row + 10, 30);
    for (int i = 0; i < 10; ++i)
        SendBurst({StrokeOf(VK_DOWN), StrokeOf(VK_F9)});
    for (int i = 1; i <= 10; ++i)
        ASSERT_TRUE(RowShows(row + i, L"复制成功")) << "burst " << i;
    EXPECT_EQ(row + 10, app_->FileList().SelectionMark());
    EXPECT_EQ(10u, FolderListing(target_.Path()).size());
}

// A rule's operation counts as the file's reader trims it; a rule whose operation is
// neither copy nor move touches no file, and its key says why.
TEST_F(SortingTest, AnOperationCountsTrimmedAndAnyOtherOperationTouchesNothingAndSaysSo) {
    const std::wstring copies = target_ / L"copies";
    CreateDirectoryW(copies.c_str(), nullptr);
    StartOn(RuleConfig({KeyNameOf('C') + L"=复制文件 |" + copies,
                        KeyNameOf('X') + L"=复制|" + target_.Path(),
                        KeyNameOf('Y') + L"=移动|" + target_.Path()}),
            {{L"kept.txt", "kept"}, {L"copied.txt", "copied"}});
    ASSERT_TRUE(PressOn(L"copied.txt", 'C', L"复制成功"));
    EXPECT_EQ("copied", ReadFileBytes(source_ / L"copied.txt"));
    EXPECT_EQ("copied", ReadFileBytes(copies + L"\\copied.txt"));

    const std::wstring title = L"信息";
    const std::pair<WORD, std::wstring> invalid[] = {{'X', L"复制"}, {'Y', L"移动"}};
    for (const auto& [key, operation] : invalid) {
        ASSERT_TRUE(PressOnFile(*app_, L"kept.txt", {key}));
        const MessageBoxInfo box = WaitForMessageBox(app_->Process().Id(), &title);
        ASSERT_NE(nullptr, box.window) << operation;
        EXPECT_EQ(L"快捷键规则的操作无效：" + operation, box.text);
        ASSERT_TRUE(AnswerMessageBox(box.window));
    }
    // Operations run in the order pressed: once this copy is done, nothing else is queued.
    ASSERT_TRUE(PressOn(L"kept.txt", 'C', L"复制成功"));
    EXPECT_EQ("kept", ReadFileBytes(source_ / L"kept.txt"));
    EXPECT_EQ((std::vector<std::wstring>{L"copies"}), FolderListing(target_.Path()));
}
