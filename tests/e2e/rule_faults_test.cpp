// Rules that survive: config.ini always holds exactly the rules the list shows, a write
// that fails is told and changes nothing, texts the file cannot hold are refused, and the
// file a row names is the file a rule acts on.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "tests/support/config_file.h"
#include "tests/support/input.h"
#include "tests/support/zemo_app.h"

namespace {

std::vector<std::wstring> HotkeyColumn(ZemoApp& app) {
    return app.RuleList().Column(0);
}

POINT ClientToScreenPoint(HWND window, POINT point) {
    ClientToScreen(window, &point);
    return point;
}

bool MenuShown(ZemoApp& app) {
    return FindTopLevelWindow(app.Process().Id(), L"#32768") != nullptr;
}

// Right-clicks a rule row and chooses "删除配置项" with the keyboard.
void ChooseDeleteOnRow(ZemoApp& app, int row) {
    ASSERT_TRUE(BringToForeground(app.MainWindow()));
    const POINT point = app.RuleList().CellCentreOnScreen(row, 2);
    LeftClickAt(point);
    ASSERT_TRUE(WaitUntil([&] { return app.RuleList().SelectionMark() == row; }));
    RightClickAt(point);
    ASSERT_TRUE(WaitUntil([&] { return MenuShown(app); }));
    PressKeys({VK_DOWN});
    PressKeys({VK_RETURN});
}

class RuleFaultsTest : public ::testing::Test {
  protected:
    // Fills the dialog and clicks "添加规则"; the text of the box shown, if any.
    std::wstring AddAndReadBox(ZemoApp& app, const RuleDialog& dialog, const std::wstring& hotkey,
                               const std::wstring& target) {
        SendMessageW(dialog.hotkeyEdit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(hotkey.c_str()));
        SendMessageW(dialog.targetEdit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(target.c_str()));
        const MessageBoxInfo box = app.ClickAndAnswer(dialog.addButton);
        if (box.window) {
            EXPECT_EQ(L"信息", box.title);
        }
        return box.text;
    }
    TempDirectory targets_;
};

}  // namespace

TEST_F(RuleFaultsTest, ARuleThatCannotBeSavedIsToldAndNotAdded) {
    ZemoApp app;
    ASSERT_TRUE(CreateDirectoryW(app.ConfigPath().c_str(), nullptr));  // a folder in its place
    ASSERT_TRUE(app.Start());
    std::optional<RuleDialog> dialog = app.OpenRuleDialog();
    ASSERT_TRUE(dialog);
    const std::wstring text = AddAndReadBox(app, *dialog, L"F5", targets_.Path());
    EXPECT_NE(std::wstring::npos, text.find(L"config.ini")) << text;
    EXPECT_EQ(0, app.RuleList().ItemCount());
    EXPECT_TRUE(DirectoryExists(app.ConfigPath()));
}

TEST_F(RuleFaultsTest, ADeleteThatCannotBeWrittenKeepsTheFileAndTheList) {
    const std::string config =
        "; mine\r\n" + RuleConfig({L"A=复制文件|D:\\a", L"B=移动文件|D:\\b", L"C=复制文件|D:\\c"});
    ZemoApp app(config);
    ASSERT_TRUE(app.Start());
    const std::wstring marker = targets_ / L"held";
    TestProcess holder(ProgramPath(L"hold_file.exe"),
                       L"\"" + app.ConfigPath() + L"\" \"" + marker + L"\"");
    ASSERT_TRUE(WaitUntil([&] { return FileExists(marker); }));

    ChooseDeleteOnRow(app, 1);
    const MessageBoxInfo box = WaitForMessageBox(app.Process().Id());
    ASSERT_NE(nullptr, box.window);
    EXPECT_EQ(L"信息", box.title);
    AnswerMessageBox(box.window);
    EXPECT_EQ((std::vector<std::wstring>{L"A", L"B", L"C"}), HotkeyColumn(app));
    holder.Terminate();
    holder.WaitForExit();
    EXPECT_EQ(config, ReadFileBytes(app.ConfigPath()));

    // Once the file is free the same delete goes through, keeping the comment.
    ChooseDeleteOnRow(app, 1);
    ASSERT_TRUE(WaitUntil([&] { return app.RuleList().ItemCount() == 2; }));
    EXPECT_EQ("; mine\r\n" + RuleConfig({L"A=复制文件|D:\\a", L"C=复制文件|D:\\c"}),
              ReadFileBytes(app.ConfigPath()));
}

TEST_F(RuleFaultsTest, ASectionOverThirtyTwoKilobytesLoadsWhole) {
    std::string config = Gbk(L"[快捷键配置]") + "\r\n";
    for (int i = 0; i < 700; ++i)
        config += "K" + std::to_string(i) + "=" + Gbk(L"复制文件") + "|D:\\" +
                  std::string(40, 'd') + "\\" + std::to_string(i) + "\r\n";
    ASSERT_GT(config.size(), 32767u);
    ZemoApp app(config);
    ASSERT_TRUE(app.Start());
    ASSERT_EQ(700, app.RuleList().ItemCount());
    for (int row : {400, 699})
        EXPECT_EQ(L"D:\\" + std::wstring(40, L'd') + L"\\" + std::to_wstring(row),
                  app.RuleList().Text(row, 2));
}

TEST_F(RuleFaultsTest, TextsTheFileCannotHoldAndRelativeTargetsAreRefused) {
    const std::wstring config = L"G=复制文件|" + targets_.Path();
    ZemoApp app(RuleConfig({config}));
    CreateDirectoryW((app.Directory() + L"\\photos").c_str(), nullptr);
    const std::wstring korean = targets_ / L"사진";
    ASSERT_TRUE(CreateDirectoryW(korean.c_str(), nullptr));
    ASSERT_TRUE(app.Start());
    std::optional<RuleDialog> dialog = app.OpenRuleDialog();
    ASSERT_TRUE(dialog);

    EXPECT_EQ(L"目标目录含有无法保存的字符！", AddAndReadBox(app, *dialog, L"F5", korean));
    EXPECT_EQ(L"快捷键配置已存在！", AddAndReadBox(app, *dialog, L"g", targets_.Path()));
    for (const wchar_t* key : {L"=", L";F5", L"[F5]"})
        EXPECT_EQ(L"这个快捷键的名称无法保存到配置文件！",
                  AddAndReadBox(app, *dialog, key, targets_.Path()))
            << key;
    for (const wchar_t* target : {L"photos", L"."})
        EXPECT_EQ(L"不是有效的文件夹目录！", AddAndReadBox(app, *dialog, L"F6", target)) << target;
    EXPECT_EQ((std::vector<std::wstring>{L"G"}), HotkeyColumn(app));
    EXPECT_EQ(RuleConfig({config}), ReadFileBytes(app.ConfigPath()));
}

TEST_F(RuleFaultsTest, CaseDuplicatesInTheFileLoadAndStayAsTheyAre) {
    const std::string config = RuleConfig({L"G=复制文件|D:\\copied", L"g=移动文件|D:\\moved"});
    ZemoApp app(config);
    ASSERT_TRUE(app.Start());
    EXPECT_EQ((std::vector<std::wstring>{L"G", L"g"}), HotkeyColumn(app));
    std::optional<RuleDialog> dialog = app.OpenRuleDialog();
    ASSERT_TRUE(dialog);
    app.AddRule(*dialog, L"F5", 0, targets_.Path());
    ASSERT_TRUE(WaitUntil([&] { return app.RuleList().ItemCount() == 3; }));
    EXPECT_EQ(config + Gbk(L"F5=复制文件|" + targets_.Path()) + "\r\n",
              ReadFileBytes(app.ConfigPath()));
}

TEST_F(RuleFaultsTest, RightClickBelowTheLastRuleDeletesNothing) {
    const std::string config = RuleConfig({L"A=复制文件|D:\\a", L"B=移动文件|D:\\b"});
    ZemoApp app(config);
    ASSERT_TRUE(app.Start());
    ASSERT_TRUE(BringToForeground(app.MainWindow()));
    LeftClickAt(app.RuleList().CellCentreOnScreen(0, 2));
    ASSERT_TRUE(WaitUntil([&] { return app.RuleList().SelectionMark() == 0; }));
    const RECT last = app.RuleList().ItemRect(1);
    const POINT below = ClientToScreenPoint(app.RuleList().Handle(),
                                            {(last.left + last.right) / 2, last.bottom + 40});
    RightClickAt(below);
    EXPECT_FALSE(WaitUntil([&] { return MenuShown(app); }, 1500));
    if (MenuShown(app))
        PressKeys({VK_ESCAPE});
    EXPECT_EQ((std::vector<std::wstring>{L"A", L"B"}), HotkeyColumn(app));
    EXPECT_EQ(config, ReadFileBytes(app.ConfigPath()));
}

// Names the system would otherwise change: a trailing dot or blank, a device name, a path
// over 260 characters. Each row's own file is moved, under its exact name.
TEST_F(RuleFaultsTest, EachRowsExactFileIsMoved) {
    TempDirectory source;
    const std::wstring exact = L"\\\\?\\";
    const std::wstring longName = std::wstring(240, L'n') + L".mp4";
    ASSERT_GT((targets_ / longName).size(), 260u);
    WriteFileBytes(source / L"a", "plain a");
    WriteFileBytes(exact + (source / L"a."), "dotted a");
    WriteFileBytes(exact + (source / L"b "), "blank b");
    WriteFileBytes(source / L"b", "plain b");
    WriteFileBytes(exact + (source / L"con.mp4"), "con");
    WriteFileBytes(exact + (source / longName), "long");

    ZemoApp app(RuleConfig({KeyNameOf('M') + L"=移动文件|" + targets_.Path()}));
    ASSERT_TRUE(app.Start());
    ASSERT_TRUE(app.LoadDirectory(source.Path(), 6));
    const std::vector<std::wstring> names = app.FileList().Column(1);
    for (const std::wstring& name :
         {std::wstring(L"a."), std::wstring(L"b "), std::wstring(L"con.mp4"), longName}) {
        const auto found = std::find(names.begin(), names.end(), name);
        ASSERT_NE(names.end(), found) << name;
        const int row = static_cast<int>(found - names.begin());
        ASSERT_TRUE(app.ClickFileRow(row));
        PressKeys({'M'});
        ASSERT_TRUE(WaitUntil([&] { return app.FileList().Text(row, 3) == L"移动成功"; })) << name;
        EXPECT_TRUE(FileExists(exact + (targets_ / name))) << name;
    }
    EXPECT_EQ("dotted a", ReadFileBytes(exact + (targets_ / L"a.")));
    EXPECT_EQ("blank b", ReadFileBytes(exact + (targets_ / L"b ")));
    EXPECT_EQ("plain a", ReadFileBytes(source / L"a"));
    EXPECT_EQ("plain b", ReadFileBytes(source / L"b"));
}

TEST_F(RuleFaultsTest, AProgramFolderOutsideTheAnsiCodePageStillHasItsRules) {
    const std::wstring folder = targets_ / L"프로그램";
    ASSERT_TRUE(CreateDirectoryW(folder.c_str(), nullptr));
    ASSERT_TRUE(
        CopyFileW(ProgramPath(L"zemo.exe").c_str(), (folder + L"\\zemo.exe").c_str(), FALSE));
    WriteFileBytes(folder + L"\\config.ini", RuleConfig({L"F5=复制文件|D:\\x"}));
    TestProcess program(folder + L"\\zemo.exe", L"", folder);
    ASSERT_TRUE(program.Started());
    const std::wstring title = kMainWindowTitle;
    const HWND main = WaitForTopLevelWindow(program.Id(), L"", &title);
    ASSERT_NE(nullptr, main);
    HWND list = nullptr;
    ASSERT_TRUE(WaitUntil([&] { return (list = FindChildById(main, kRuleListId)) != nullptr; }));
    RemoteListView rules(list);
    ASSERT_TRUE(WaitUntil([&] { return rules.ItemCount() == 1; }));
    EXPECT_EQ(L"F5", rules.Text(0, 0));
    PostMessageW(main, WM_CLOSE, 0, 0);
    EXPECT_EQ(0u, program.WaitForExit().value_or(1));
}

// A target folder whose path is longer than a list cell holds: the file lands in that
// folder itself, not in a folder named by the cut path.
TEST_F(RuleFaultsTest, ATargetLongerThanACellGetsTheFile) {
    TempDirectory source;
    WriteFileBytes(source / L"clip.mp4", "clip");
    const std::wstring exact = L"\\\\?\\";
    std::wstring target = targets_.Path();
    for (const wchar_t letter : {L'p', L'q'}) {
        target += L"\\" + std::wstring(150, letter);
        ASSERT_TRUE(CreateDirectoryW((exact + target).c_str(), nullptr));
    }
    ASSERT_GT(target.size(), 259u);
    ZemoApp app(RuleConfig({KeyNameOf('C') + L"=复制文件|" + target}));
    ASSERT_TRUE(app.Start());
    ASSERT_TRUE(app.LoadDirectory(source.Path(), 1));
    ASSERT_TRUE(app.ClickFileRow(0));
    PressKeys({'C'});
    ASSERT_TRUE(WaitUntil([&] {
        const std::wstring result = app.FileList().Text(0, 3);
        return result == L"复制成功" || result == L"复制失败";
    }));
    EXPECT_EQ(L"复制成功", app.FileList().Text(0, 3));
    EXPECT_EQ("clip", ReadFileBytes(exact + target + L"\\clip.mp4"));
}
