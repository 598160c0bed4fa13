// Hotkey rules in config.ini through the real program. Rules survive: the list always shows
// exactly the rules config.ini holds, an add or a delete changes only its own line of the
// file as it is now, and a write that fails is told and changes nothing.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/operations/file_identity.h"
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

// Right-clicks a rule row (selecting it first with a left click) and chooses the menu's
// only item, "删除配置项", with the keyboard, or dismisses the menu with Esc.
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

}  // namespace

TEST(RuleFile, LoadsEveryLineAsTheFormatDefinesAndAnAddKeepsEveryLineOfTheFileAsItIsNow) {
    // A line with pieces the list does not show, one without "=", case duplicates and a
    // section over 32 KB.
    std::string config = RuleConfig({L"A=移动文件|D:\\x|extra|more", L"noequals",
                                     L"G=复制文件|D:\\copied", L"g=移动文件|D:\\moved"});
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
    std::vector<Row> rules = Rules(app);
    ASSERT_EQ(704u, rules.size());
    const std::vector<Row> unusual = {{L"A", L"移动文件", L"D:\\x"},
                                      {L"", L"noequals", L""},
                                      {L"G", L"复制文件", L"D:\\copied"},
                                      {L"g", L"移动文件", L"D:\\moved"}};
    EXPECT_EQ(unusual, std::vector<Row>(rules.begin(), rules.begin() + 4));
    for (int rule : {400, 699})
        EXPECT_EQ(L"D:\\" + std::wstring(40, L'd') + L"\\" + std::to_wstring(rule),
                  rules[4 + rule][2]);

    // An added rule follows the file's last rule as the file is now, with a rule another
    // program wrote after the start; every other line stays as it was.
    const std::string written = config + Gbk(L"Z=移动文件|D:\\z") + "\r\n[其他]\r\n";
    ASSERT_TRUE(WriteFileBytes(app.ConfigPath(), written));
    TempDirectory targets;
    const std::wstring photos = targets / L"照片";
    CreateDirectoryW(photos.c_str(), nullptr);
    std::optional<RuleDialog> dialog = app.OpenRuleDialog();
    ASSERT_TRUE(dialog);
    app.AddRule(*dialog, L"Control+A", 0, photos);
    ASSERT_TRUE(WaitUntil([&] { return app.RuleList().ItemCount() == 706; }));
    PostMessageW(dialog->cancelButton, BM_CLICK, 0, 0);
    ASSERT_TRUE(WaitUntil([&] { return !IsWindow(dialog->window); }));
    EXPECT_EQ(config + Gbk(L"Z=移动文件|D:\\z\r\nControl+A=复制文件|" + photos) + "\r\n[其他]\r\n",
              ReadFileBytes(app.ConfigPath()));
    rules = Rules(app);
    EXPECT_EQ(
        (std::vector<Row>{{L"Z", L"移动文件", L"D:\\z"}, {L"Control+A", L"复制文件", photos}}),
        std::vector<Row>(rules.end() - 2, rules.end()));
}

TEST(RuleFile, DeleteTakesOutOnlyItsOwnLineOfTheFileAsItIsNowOnlyOverARowWhenItCanWrite) {
    const std::string config =
        "; mine\r\n" + RuleConfig({L"A=复制文件|D:\\a", L"B=移动文件|D:\\b", L"C=复制文件|D:\\c"});
    ZemoApp app(config);
    ASSERT_TRUE(app.Start());
    // A right click below the rows shows no menu, even with a row selected.
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

    // A delete that cannot be written is told and keeps the file and the list.
    TempDirectory scratch;
    const std::wstring marker = scratch / L"held";
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

    // A rule written while the program runs stays through a delete, and the list shows it.
    ASSERT_TRUE(WriteFileBytes(app.ConfigPath(), config + Gbk(L"Z=复制文件|D:\\z") + "\r\n"));
    DeleteThroughMenu(app, 1, /*choose=*/false);
    EXPECT_EQ(3, app.RuleList().ItemCount());
    DeleteThroughMenu(app, 1);
    ASSERT_TRUE(WaitUntil([&] {
        return app.RuleList().Column(0) == std::vector<std::wstring>{L"A", L"C", L"Z"};
    }));
    const std::string remaining =
        "; mine\r\n" + RuleConfig({L"A=复制文件|D:\\a", L"C=复制文件|D:\\c", L"Z=复制文件|D:\\z"});
    EXPECT_EQ(remaining, ReadFileBytes(app.ConfigPath()));

    // A row whose line another program took out: the file is left alone, the list shows it.
    const std::string edited = "; mine\r\n" + RuleConfig({L"Z=复制文件|D:\\z"});
    ASSERT_TRUE(WriteFileBytes(app.ConfigPath(), edited));
    FileIdentity before;
    ASSERT_TRUE(ReadFileIdentity(app.ConfigPath(), before));
    DeleteThroughMenu(app, 1);
    ASSERT_TRUE(
        WaitUntil([&] { return app.RuleList().Column(0) == std::vector<std::wstring>{L"Z"}; }));
    FileIdentity after;
    ASSERT_TRUE(ReadFileIdentity(app.ConfigPath(), after));
    EXPECT_TRUE(before.SameFileUnchanged(after));
    EXPECT_EQ(edited, ReadFileBytes(app.ConfigPath()));
}
