// Hotkey rules in config.ini through the real program: loading, saving, deleting.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/support/config_file.h"
#include "tests/support/input.h"
#include "tests/support/zemo_app.h"

namespace {

// The lines of the rule section as the file holds them now (UTF-16).
std::vector<std::wstring> SectionLines(const std::wstring& path) {
    const std::optional<std::string> bytes = ReadFileBytes(path);
    std::vector<std::wstring> lines;
    if (!bytes)
        return lines;
    const int size =
        MultiByteToWideChar(936, 0, bytes->data(), static_cast<int>(bytes->size()), nullptr, 0);
    std::wstring text(size, L'\0');
    MultiByteToWideChar(936, 0, bytes->data(), static_cast<int>(bytes->size()), text.data(), size);
    bool inSection = false;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find(L'\n', start);
        if (end == std::wstring::npos)
            end = text.size();
        std::wstring line = text.substr(start, end - start);
        if (!line.empty() && line.back() == L'\r')
            line.pop_back();
        start = end + 1;
        if (!line.empty() && line.front() == L'[') {
            inSection = line == L"[快捷键配置]";
            continue;
        }
        if (inSection && !line.empty())
            lines.push_back(line);
    }
    return lines;
}

using Row = std::vector<std::wstring>;

std::vector<Row> Rules(ZemoApp& app) {
    std::vector<Row> rows;
    for (int row = 0; row < app.RuleList().ItemCount(); ++row)
        rows.push_back({app.RuleList().Text(row, 0), app.RuleList().Text(row, 1),
                        app.RuleList().Text(row, 2)});
    return rows;
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
    // menu's only item with the keyboard, or dismisses the menu with Esc.
    void DeleteThroughMenu(ZemoApp& app, int row, bool choose) {
        ASSERT_TRUE(BringToForeground(app.MainWindow()));
        const POINT point = app.RuleList().CellCentreOnScreen(row, 2);
        LeftClickAt(point);
        ASSERT_TRUE(WaitUntil([&] { return app.RuleList().SelectionMark() == row; }));
        RightClickAt(point);
        ASSERT_TRUE(WaitUntil([&] { return FindTopLevelWindow(app.Process().Id(), L"#32768"); }));
        if (choose) {
            PressKeys({VK_DOWN});
            PressKeys({VK_RETURN});
        } else {
            PressKeys({VK_ESCAPE});
        }
        ASSERT_TRUE(WaitUntil([&] { return !FindTopLevelWindow(app.Process().Id(), L"#32768"); }));
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
    EXPECT_EQ((std::vector<std::wstring>{L"Control+A=复制文件|" + photos,
                                         L"F5=移动文件|" + targets_.Path()}),
              SectionLines(app.ConfigPath()));
    ASSERT_EQ(0u, app.Close().value_or(1));

    ASSERT_TRUE(app.Start());
    EXPECT_EQ((std::vector<Row>{{L"Control+A", L"复制文件", photos},
                                {L"F5", L"移动文件", targets_.Path()}}),
              Rules(app));
}

TEST_F(RulesTest, LoadsUnusualLinesAsTheFormatDefines) {
    ZemoApp app(
        RuleConfig({L"A=移动文件|D:\\x|extra|more", L"B=移动文件||D:\\y", L"C=复制文件|D:\\a=b",
                    L"noequals", L"==复制文件|D:\\e", L"E=复制文件"}));
    ASSERT_TRUE(app.Start());
    EXPECT_EQ((std::vector<Row>{{L"A", L"移动文件", L"D:\\x"},
                                {L"B", L"移动文件", L""},
                                {L"C", L"复制文件", L"D:\\a=b"},
                                {L"", L"noequals", L""},
                                {L"", L"=复制文件", L"D:\\e"},
                                {L"E", L"复制文件", L""}}),
              Rules(app));
}

TEST_F(RulesTest, SavingLeavesEveryOtherRulesLineAsItWas) {
    const std::wstring longTarget = L"D:\\" + std::wstring(297, L'x');  // 300 characters
    ZemoApp app(RuleConfig({L"A=移动文件|D:\\x|extra", L"L=复制文件|" + longTarget}));
    ASSERT_TRUE(app.Start());
    AddThroughDialog(app, L"F9", 0, targets_.Path());
    EXPECT_EQ((std::vector<std::wstring>{L"A=移动文件|D:\\x|extra", L"L=复制文件|" + longTarget,
                                         L"F9=复制文件|" + targets_.Path()}),
              SectionLines(app.ConfigPath()));
}

TEST_F(RulesTest, DeleteRewritesExactlyTheRemainingRows) {
    ZemoApp app(RuleConfig({L"A=复制文件|D:\\a", L"B=移动文件|D:\\b", L"C=复制文件|D:\\c"}));
    ASSERT_TRUE(app.Start());
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

    DeleteThroughMenu(app, 1, /*choose=*/true);
    ASSERT_TRUE(WaitUntil([&] { return app.RuleList().ItemCount() == 2; }));
    EXPECT_EQ((std::vector<Row>{{L"A", L"复制文件", L"D:\\a"}, {L"C", L"复制文件", L"D:\\c"}}),
              Rules(app));
    ASSERT_TRUE(WaitUntil([&] {
        return SectionLines(app.ConfigPath()) ==
               std::vector<std::wstring>{L"A=复制文件|D:\\a", L"C=复制文件|D:\\c"};
    }));
}

TEST_F(RulesTest, RightClickWithoutRulesShowsNoMenu) {
    ZemoApp app;
    ASSERT_TRUE(app.Start());
    ASSERT_TRUE(BringToForeground(app.MainWindow()));
    RECT list = ScreenRect(app.RuleList().Handle());
    RightClickAt({(list.left + list.right) / 2, (list.top + list.bottom) / 2});
    // The click is handled once the list has the focus; a menu would follow at once.
    ASSERT_TRUE(WaitUntil([&] {
        GUITHREADINFO info = {sizeof info};
        return GetGUIThreadInfo(GetWindowThreadProcessId(app.MainWindow(), nullptr), &info) &&
               info.hwndFocus == app.RuleList().Handle();
    }));
    EXPECT_FALSE(
        WaitUntil([&] { return FindTopLevelWindow(app.Process().Id(), L"#32768"); }, 1000));
}
