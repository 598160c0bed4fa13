// Hotkey rules in config.ini through the real program. Rules survive: config.ini always
// holds exactly the rules the list shows, a write that fails is told and changes nothing,
// texts the file cannot hold are refused, and the file a row names is the file a rule
// acts on.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "tests/support/config_file.h"
#include "tests/support/input.h"
#include "tests/support/zemo_app.h"

namespace {

using Row = std::vector<std::wstring>;

std::vector<Row> Rules(ZemoApp& app) {
    std::vector<Row> rows;
    for (int row = 0; row < app.RuleList().ItemCount(); ++row)
        rows.push_back({app.RuleList().Text(row, 0), app.RuleList().Text(row, 1),
                        app.RuleList().Text(row, 2)});
    return rows;
}

bool MenuShown(ZemoApp& app) {
    return FindTopLevelWindow(app.Process().Id(), L"#32768") != nullptr;
}

class RulesTest : public ::testing::Test {
  protected:
    // Adds a rule through the dialog and waits until it is in the rule list.
    void AddThroughDialog(ZemoApp& app, const std::wstring& hotkey, int operation,
                          const std::wstring& target) {
        std::optional<RuleDialog> dialog = app.OpenRuleDialog();
        ASSERT_TRUE(dialog);
        const int before = app.RuleList().ItemCount();
        app.AddRule(*dialog, hotkey, operation, target);
        ASSERT_TRUE(WaitUntil([&] { return app.RuleList().ItemCount() == before + 1; }));
        PostMessageW(dialog->cancelButton, BM_CLICK, 0, 0);
        ASSERT_TRUE(WaitUntil([&] { return !IsWindow(dialog->window); }));
    }

    // Right-clicks a rule row (selecting it first with a left click) and chooses the
    // menu's only item, "删除配置项", with the keyboard, or dismisses the menu with Esc.
    void DeleteThroughMenu(ZemoApp& app, int row, bool choose = true) {
        ASSERT_TRUE(BringToForeground(app.MainWindow()));
        const POINT point = app.RuleList().CellCentreOnScreen(row, 2);
        LeftClickAt(point);
        ASSERT_TRUE(WaitUntil([&] { return app.RuleList().SelectionMark() == row; }));
        RightClickAt(point);
        ASSERT_TRUE(WaitUntil([&] { return MenuShown(app); }));
        if (choose) {
            PressKeys({VK_DOWN});
            PressKeys({VK_RETURN});
        } else {
            PressKeys({VK_ESCAPE});
            ASSERT_TRUE(WaitUntil([&] { return !MenuShown(app); }));
        }
    }

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

TEST_F(RulesTest, RulesAddedInTheDialogAreSavedInRowOrderAndLoadAtTheNextStart) {
    ZemoApp app;
    ASSERT_TRUE(app.Start());
    EXPECT_FALSE(FileExists(app.ConfigPath()));
    const std::wstring photos = targets_ / L"照片";
    CreateDirectoryW(photos.c_str(), nullptr);
    AddThroughDialog(app, L"Control+A", 0, photos);
    AddThroughDialog(app, L"F5", 1, targets_.Path());
    EXPECT_EQ(RuleConfig({L"Control+A=复制文件|" + photos, L"F5=移动文件|" + targets_.Path()}),
              ReadFileBytes(app.ConfigPath()));
    ASSERT_EQ(0u, app.Close().value_or(1));

    ASSERT_TRUE(app.Start());
    EXPECT_EQ((std::vector<Row>{{L"Control+A", L"复制文件", photos},
                                {L"F5", L"移动文件", targets_.Path()}}),
              Rules(app));
}

TEST_F(RulesTest, LoadsUnusualLinesAsTheFormatDefinesAndASectionOver32KilobytesWhole) {
    std::string config =
        RuleConfig({L"A=移动文件|D:\\x|extra|more", L"B=移动文件||D:\\y", L"C=复制文件|D:\\a=b",
                    L"noequals", L"==复制文件|D:\\e", L"E=复制文件"});
    for (int i = 0; i < 700; ++i)
        config.append("K")
            .append(std::to_string(i))
            .append("=")
            .append(Gbk(L"复制文件"))
            .append("|D:\\")
            .append(40, 'd')
            .append("\\")
            .append(std::to_string(i))
            .append("\r\n");
    ASSERT_GT(config.size(), 32767u);
    ZemoApp app(config);
    ASSERT_TRUE(app.Start());
    ASSERT_EQ(706, app.RuleList().ItemCount());
    const std::vector<Row> unusual = {{L"A", L"移动文件", L"D:\\x"},   {L"B", L"移动文件", L""},
                                      {L"C", L"复制文件", L"D:\\a=b"}, {L"", L"noequals", L""},
                                      {L"", L"=复制文件", L"D:\\e"},   {L"E", L"复制文件", L""}};
    for (int row = 0; row < 6; ++row)
        EXPECT_EQ(unusual[row], (Row{app.RuleList().Text(row, 0), app.RuleList().Text(row, 1),
                                     app.RuleList().Text(row, 2)}))
            << row;
    for (int rule : {400, 699})
        EXPECT_EQ(L"D:\\" + std::wstring(40, L'd') + L"\\" + std::to_wstring(rule),
                  app.RuleList().Text(6 + rule, 2));
}

TEST_F(RulesTest, SavingLeavesEveryOtherLineAsItWasCaseDuplicatesIncluded) {
    const std::wstring longTarget = L"D:\\" + std::wstring(297, L'x');  // 300 characters
    const std::string config = RuleConfig({L"A=移动文件|D:\\x|extra", L"L=复制文件|" + longTarget,
                                           L"G=复制文件|D:\\copied", L"g=移动文件|D:\\moved"});
    ZemoApp app(config);
    ASSERT_TRUE(app.Start());
    EXPECT_EQ((std::vector<std::wstring>{L"A", L"L", L"G", L"g"}), app.RuleList().Column(0));
    AddThroughDialog(app, L"F9", 0, targets_.Path());
    EXPECT_EQ(config + Gbk(L"F9=复制文件|" + targets_.Path()) + "\r\n",
              ReadFileBytes(app.ConfigPath()));
}

TEST_F(RulesTest, DeleteRewritesExactlyTheRemainingRowsAndARightClickBelowThemDeletesNothing) {
    const std::string config =
        RuleConfig({L"A=复制文件|D:\\a", L"B=移动文件|D:\\b", L"C=复制文件|D:\\c"});
    ZemoApp app(config);
    ASSERT_TRUE(app.Start());
    ASSERT_TRUE(BringToForeground(app.MainWindow()));
    LeftClickAt(app.RuleList().CellCentreOnScreen(0, 2));
    ASSERT_TRUE(WaitUntil([&] { return app.RuleList().SelectionMark() == 0; }));
    const RECT last = app.RuleList().ItemRect(2);
    POINT below = {(last.left + last.right) / 2, last.bottom + 40};
    ClientToScreen(app.RuleList().Handle(), &below);
    RightClickAt(below);
    EXPECT_FALSE(WaitUntil([&] { return MenuShown(app); }, 1500));
    if (MenuShown(app))
        PressKeys({VK_ESCAPE});
    EXPECT_EQ((std::vector<std::wstring>{L"A", L"B", L"C"}), app.RuleList().Column(0));
    EXPECT_EQ(config, ReadFileBytes(app.ConfigPath()));

    // An entry written while the program runs has no row; the delete removes it too.
    std::string bytes = *ReadFileBytes(app.ConfigPath()) + "Z=" + Gbk(L"复制文件|D:\\z") + "\r\n";
    WriteFileBytes(app.ConfigPath(), bytes);
    HANDLE file = CreateFileW(app.ConfigPath().c_str(), FILE_WRITE_ATTRIBUTES, 0, nullptr,
                              OPEN_EXISTING, 0, nullptr);
    FILETIME now;
    GetSystemTimeAsFileTime(&now);
    ULARGE_INTEGER time = {{now.dwLowDateTime, now.dwHighDateTime}};
    time.QuadPart += 10 * 10000000ULL;  // ten seconds on, so the program sees the change
    const FILETIME later = {time.LowPart, time.HighPart};
    SetFileTime(file, nullptr, nullptr, &later);
    CloseHandle(file);

    DeleteThroughMenu(app, 1, /*choose=*/false);
    EXPECT_EQ(3, app.RuleList().ItemCount());

    DeleteThroughMenu(app, 1);
    ASSERT_TRUE(WaitUntil([&] { return app.RuleList().ItemCount() == 2; }));
    EXPECT_EQ((std::vector<Row>{{L"A", L"复制文件", L"D:\\a"}, {L"C", L"复制文件", L"D:\\c"}}),
              Rules(app));
    ASSERT_TRUE(WaitUntil([&] {
        return ReadFileBytes(app.ConfigPath()) ==
               RuleConfig({L"A=复制文件|D:\\a", L"C=复制文件|D:\\c"});
    }));
}

TEST_F(RulesTest, ARuleThatCannotBeSavedIsToldAndNotAdded) {
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

TEST_F(RulesTest, ADeleteThatCannotBeWrittenKeepsTheFileAndTheList) {
    const std::string config =
        "; mine\r\n" + RuleConfig({L"A=复制文件|D:\\a", L"B=移动文件|D:\\b", L"C=复制文件|D:\\c"});
    ZemoApp app(config);
    ASSERT_TRUE(app.Start());
    const std::wstring marker = targets_ / L"held";
    TestProcess holder(ProgramPath(L"hold_file.exe"),
                       L"\"" + app.ConfigPath() + L"\" \"" + marker + L"\"");
    ASSERT_TRUE(WaitUntil([&] { return FileExists(marker); }));

    DeleteThroughMenu(app, 1);
    const MessageBoxInfo box = WaitForMessageBox(app.Process().Id());
    ASSERT_NE(nullptr, box.window);
    EXPECT_EQ(L"信息", box.title);
    AnswerMessageBox(box.window);
    EXPECT_EQ((std::vector<std::wstring>{L"A", L"B", L"C"}), app.RuleList().Column(0));
    holder.Terminate();
    holder.WaitForExit();
    EXPECT_EQ(config, ReadFileBytes(app.ConfigPath()));

    // Once the file is free the same delete goes through, keeping the comment.
    DeleteThroughMenu(app, 1);
    ASSERT_TRUE(WaitUntil([&] { return app.RuleList().ItemCount() == 2; }));
    EXPECT_EQ("; mine\r\n" + RuleConfig({L"A=复制文件|D:\\a", L"C=复制文件|D:\\c"}),
              ReadFileBytes(app.ConfigPath()));
}

TEST_F(RulesTest, TextsTheFileCannotHoldAndRelativeTargetsAreRefused) {
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
    EXPECT_EQ((std::vector<std::wstring>{L"G"}), app.RuleList().Column(0));
    EXPECT_EQ(RuleConfig({config}), ReadFileBytes(app.ConfigPath()));
}

// Names the system would otherwise change: a trailing dot or blank, a device name, a path
// over 260 characters. Each row's own file is moved, under its exact name.
TEST_F(RulesTest, EachRowsExactFileIsMoved) {
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

TEST_F(RulesTest, AProgramFolderOutsideTheAnsiCodePageStillHasItsRules) {
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
TEST_F(RulesTest, ATargetLongerThanACellGetsTheFile) {
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
