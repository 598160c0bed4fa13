// Sorting files with hotkeys in the real program: real key presses, the file system
// checked afterwards, the rows read back across processes.
#include <gtest/gtest.h>

#include <array>
#include <memory>
#include <string>

#include "tests/support/config_file.h"
#include "tests/support/input.h"
#include "tests/support/zemo_app.h"

namespace {

// A config.ini with these rules (hotkey, operation, target).
std::string Config(std::initializer_list<std::array<std::wstring, 3>> rules) {
    std::string bytes = Gbk(L"[快捷键配置]") + "\r\n";
    for (const auto& rule : rules)
        bytes += Gbk(rule[0] + L"=" + rule[1] + L"|" + rule[2]) + "\r\n";
    return bytes;
}

class SortingTest : public ::testing::Test {
  protected:
    // Source directory with the given files (name, content), loaded into the program.
    void StartWith(std::string config,
                   std::initializer_list<std::pair<std::wstring, std::string>> files) {
        for (const auto& [name, content] : files)
            WriteFileBytes(source_ / name, content);
        app_ = std::make_unique<ZemoApp>(std::move(config));
        ASSERT_TRUE(app_->Start());
        ASSERT_TRUE(app_->LoadDirectory(source_.Path(), static_cast<int>(files.size())));
    }
    int RowOf(const std::wstring& name) {
        const std::vector<std::wstring> names = app_->FileList().Column(1);
        for (size_t i = 0; i < names.size(); ++i)
            if (names[i] == name)
                return static_cast<int>(i);
        return -1;
    }
    // Waits until the row shows this operation and result.
    bool RowShows(int row, const std::wstring& operation, const std::wstring& result) {
        return WaitUntil([&] {
            return app_->FileList().Text(row, 2) == operation &&
                   app_->FileList().Text(row, 3) == result;
        });
    }
    std::wstring Cell(int row, int column) { return app_->FileList().Text(row, column); }

    TempDirectory source_;
    TempDirectory target_;
    std::unique_ptr<ZemoApp> app_;
};

}  // namespace

TEST_F(SortingTest, CopyNeverOverwritesAnExistingFile) {
    StartWith(Config({{KeyNameOf('C'), L"复制文件", target_.Path()}}),
              {{L"photo.jpg", std::string(100000, 'p')}, {L"clash.jpg", "new content"}});
    WriteFileBytes(target_ / L"clash.jpg", "precious");

    const int photo = RowOf(L"photo.jpg");
    ASSERT_TRUE(app_->ClickFileRow(photo));
    PressKeys({'C'});
    ASSERT_TRUE(RowShows(photo, L"复制文件", L"复制成功"));
    EXPECT_EQ(ReadFileBytes(source_ / L"photo.jpg"), ReadFileBytes(target_ / L"photo.jpg"));

    // Pressing again: the copy now exists, so the second copy fails and changes nothing.
    PressKeys({'C'});
    ASSERT_TRUE(RowShows(photo, L"复制文件", L"复制失败"));
    EXPECT_EQ(std::string(100000, 'p'), ReadFileBytes(target_ / L"photo.jpg"));

    const int clash = RowOf(L"clash.jpg");
    ASSERT_TRUE(app_->ClickFileRow(clash));
    PressKeys({'C'});
    ASSERT_TRUE(RowShows(clash, L"复制文件", L"复制失败"));
    EXPECT_EQ("precious", ReadFileBytes(target_ / L"clash.jpg"));
    EXPECT_EQ("new content", ReadFileBytes(source_ / L"clash.jpg"));
}

TEST_F(SortingTest, NamesOutsideCodePage936AreCopiedUnderTheirExactNameAnyCodePage) {
    const std::wstring name = L"caf\u00e9 \ud55c\uad6d \U0001F600.mp3";
    StartWith(Config({{KeyNameOf('K'), L"复制文件", target_.Path()}}), {{name, "song"}});
    ASSERT_TRUE(app_->ClickFileRow(0));
    PressKeys({'K'});
    ASSERT_TRUE(RowShows(0, L"复制文件", L"复制成功"));
    EXPECT_EQ("song", ReadFileBytes(target_ / name));
}

TEST_F(SortingTest, MoveReportsSuccessThenFailureAndAMissingTargetTouchesNothing) {
    const std::wstring missing = target_ / L"missing";
    StartWith(Config({{KeyNameOf('M'), L"移动文件", target_.Path()},
                      {KeyNameOf('N'), L"移动文件", missing}}),
              {{L"clip.mp4", "video"}, {L"stay.txt", "text"}});
    const int clip = RowOf(L"clip.mp4");
    ASSERT_TRUE(app_->ClickFileRow(clip));
    PressKeys({'M'});
    ASSERT_TRUE(RowShows(clip, L"移动文件", L"移动成功"));
    EXPECT_FALSE(FileExists(source_ / L"clip.mp4"));
    EXPECT_EQ("video", ReadFileBytes(target_ / L"clip.mp4"));
    EXPECT_EQ(L"clip.mp4", Cell(clip, 1));  // the row keeps its file

    PressKeys({'M'});
    ASSERT_TRUE(RowShows(clip, L"移动文件", L"移动失败"));
    EXPECT_EQ("video", ReadFileBytes(target_ / L"clip.mp4"));

    const int stay = RowOf(L"stay.txt");
    ASSERT_TRUE(app_->ClickFileRow(stay));
    PressKeys({'N'});
    ASSERT_TRUE(RowShows(stay, L"移动文件", L"移动失败"));
    EXPECT_EQ("text", ReadFileBytes(source_ / L"stay.txt"));
}

TEST_F(SortingTest, ARuleWithoutTargetTouchesNoFile) {
    // Only an edited file can hold such a rule; it must not reach the drive's root.
    StartWith(Config({{KeyNameOf('E'), L"复制文件", L""}, {KeyNameOf('R'), L"移动文件", L""}}),
              {{L"a.txt", "a"}});
    ASSERT_TRUE(app_->ClickFileRow(0));
    PressKeys({'E'});
    ASSERT_TRUE(RowShows(0, L"复制文件", L"复制失败"));
    PressKeys({'R'});
    ASSERT_TRUE(RowShows(0, L"移动文件", L"移动失败"));
    EXPECT_EQ("a", ReadFileBytes(source_ / L"a.txt"));
    EXPECT_FALSE(FileExists(L"\\a.txt"));
}

TEST_F(SortingTest, CombinationsNeedTheirModifierAndPlainKeysNeedNone) {
    const std::wstring plainDir = target_ / L"plain";
    const std::wstring comboDir = target_ / L"combo";
    CreateDirectoryW(plainDir.c_str(), nullptr);
    CreateDirectoryW(comboDir.c_str(), nullptr);
    const std::wstring combo = KeyNameOf(VK_CONTROL) + L"+" + KeyNameOf('J');
    StartWith(Config({{combo, L"复制文件", comboDir}, {KeyNameOf('L'), L"复制文件", plainDir}}),
              {{L"one.txt", "1"}, {L"two.txt", "2"}});
    const int one = RowOf(L"one.txt");
    const int two = RowOf(L"two.txt");

    ASSERT_TRUE(app_->ClickFileRow(one));
    PressKeys({VK_LCONTROL, 'L'});  // a plain rule does not fire while a modifier is held
    PressKeys({'J'});               // a combination rule does not fire without its modifier
    PressKeys({VK_LCONTROL, 'J'});
    ASSERT_TRUE(RowShows(one, L"复制文件", L"复制成功"));
    EXPECT_TRUE(FileExists(comboDir + L"\\one.txt"));
    EXPECT_FALSE(FileExists(plainDir + L"\\one.txt"));

    ASSERT_TRUE(app_->ClickFileRow(two));
    PressKeys({'L'});
    ASSERT_TRUE(RowShows(two, L"复制文件", L"复制成功"));
    EXPECT_TRUE(FileExists(plainDir + L"\\two.txt"));
    EXPECT_FALSE(FileExists(comboDir + L"\\two.txt"));
}

TEST_F(SortingTest, OnlyKeyDownsApplyAndTheFirstOfTwoEqualRulesWins) {
    const std::wstring first = target_ / L"first";
    const std::wstring second = target_ / L"second";
    const std::wstring marker = target_ / L"marker";
    for (const std::wstring& dir : {first, second, marker})
        CreateDirectoryW(dir.c_str(), nullptr);
    StartWith(Config({{KeyNameOf('G'), L"复制文件", first},
                      {KeyNameOf('G'), L"复制文件", second},
                      {KeyNameOf('H'), L"复制文件", marker}}),
              {{L"x.txt", "x"}});
    ASSERT_TRUE(app_->ClickFileRow(0));

    KeyDown('G');
    ASSERT_TRUE(RowShows(0, L"复制文件", L"复制成功"));
    // A held key repeats its key-down: the first rule applies again, and fails now.
    KeyDown('G');
    ASSERT_TRUE(RowShows(0, L"复制文件", L"复制失败"));
    EXPECT_FALSE(FileExists(second + L"\\x.txt"));

    // Releasing the key applies nothing. Events are handled in order, so once the marker
    // key's copy is reported the release has been handled too.
    DeleteFileW((first + L"\\x.txt").c_str());
    KeyUp('G');
    PressKeys({'H'});
    ASSERT_TRUE(RowShows(0, L"复制文件", L"复制成功"));
    EXPECT_TRUE(FileExists(marker + L"\\x.txt"));
    EXPECT_FALSE(FileExists(first + L"\\x.txt"));
    EXPECT_FALSE(FileExists(second + L"\\x.txt"));
}

TEST_F(SortingTest, ALetterRuleAppliesToTheRowThatWasCurrentWhenTheKeyWentDown) {
    // The list's type-ahead search moves the selection to the row starting with the typed
    // letter once the key reaches the list; the rule must already have run by then.
    StartWith(Config({{KeyNameOf('B'), L"复制文件", target_.Path()}}),
              {{L"a-first.txt", "a"}, {L"b-second.txt", "b"}, {L"c-third.txt", "c"}});
    const int a = RowOf(L"a-first.txt");
    const int b = RowOf(L"b-second.txt");
    ASSERT_TRUE(app_->ClickFileRow(a));
    PressKeys({'B'});
    ASSERT_TRUE(RowShows(a, L"复制文件", L"复制成功"));
    EXPECT_TRUE(FileExists(target_ / L"a-first.txt"));
    EXPECT_FALSE(FileExists(target_ / L"b-second.txt"));
    EXPECT_EQ(L"", Cell(b, 3));
}

TEST_F(SortingTest, PreviewThenMoveOfTheSameFileSucceeds) {
    StartWith(Config({{KeyNameOf('P'), L"移动文件", target_.Path()}}), {{L"song.mp3", "music"}});
    ASSERT_TRUE(app_->ClickFileRow(0));  // selecting it plays it
    PressKeys({'P'});
    ASSERT_TRUE(RowShows(0, L"移动文件", L"移动成功"));
    EXPECT_EQ("music", ReadFileBytes(target_ / L"song.mp3"));
}

TEST_F(SortingTest, ClosingEndsWithExitCodeZeroAndKeepsTheRules) {
    StartWith(Config({{KeyNameOf('C'), L"复制文件", target_.Path()}}), {{L"a.txt", "a"}});
    EXPECT_EQ(0u, app_->Close().value_or(1));
    const std::optional<std::string> config = ReadFileBytes(app_->ConfigPath());
    ASSERT_TRUE(config);
    EXPECT_NE(std::string::npos,
              config->find(Gbk(KeyNameOf('C') + L"=复制文件|" + target_.Path())));
}

TEST(RuleCapture, HotkeyFieldShowsTheCapturedCombinationAndRefusesReservedKeys) {
    ZemoApp app;
    ASSERT_TRUE(app.Start());
    std::optional<RuleDialog> dialog = app.OpenRuleDialog();
    ASSERT_TRUE(dialog);
    // Clicks into the hotkey field, as the user does before pressing the hotkey.
    auto focusField = [&] {
        if (!BringToForeground(dialog->window))
            return false;
        const RECT field = ScreenRect(dialog->hotkeyEdit);
        LeftClickAt({(field.left + field.right) / 2, (field.top + field.bottom) / 2});
        return WaitUntil([&] {
            GUITHREADINFO info = {sizeof info};
            return GetGUIThreadInfo(GetWindowThreadProcessId(dialog->window, nullptr), &info) &&
                   info.hwndFocus == dialog->hotkeyEdit;
        });
    };
    ASSERT_TRUE(focusField());

    const std::wstring combination = KeyNameOf(VK_CONTROL) + L"+" + KeyNameOf('A');
    PressKeys({VK_LCONTROL, 'A'});
    ASSERT_TRUE(WaitUntil([&] { return WindowText(dialog->hotkeyEdit) == combination; }));

    PressKeys({VK_LCONTROL});  // the modifier alone changes nothing
    PressKeys({VK_F7});
    ASSERT_TRUE(WaitUntil([&] { return WindowText(dialog->hotkeyEdit) == KeyNameOf(VK_F7); }));

    for (WORD reserved : {VK_UP, VK_DOWN, VK_END, VK_HOME, VK_LWIN}) {
        PressKeys({reserved});
        const MessageBoxInfo box = WaitForMessageBox(app.Process().Id());
        ASSERT_NE(nullptr, box.window) << reserved;
        EXPECT_EQ(L"信息", box.title);
        EXPECT_EQ(L"程序保留键代码，禁止使用！", box.text);
        ASSERT_TRUE(AnswerMessageBox(box.window));
        EXPECT_EQ(KeyNameOf(VK_F7), WindowText(dialog->hotkeyEdit)) << reserved;
        ASSERT_TRUE(focusField()) << reserved;
    }

    // Typed characters never enter the field: it is read-only and centred.
    const LONG style = GetWindowLongW(dialog->hotkeyEdit, GWL_STYLE);
    EXPECT_EQ(ES_READONLY | ES_CENTER, style & (ES_READONLY | ES_CENTER));
}
