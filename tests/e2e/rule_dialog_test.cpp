// The main window's layout and the rule dialog of the real program.
#include <gtest/gtest.h>

#include <ostream>

#include "tests/support/input.h"
#include "tests/support/zemo_app.h"

#include <commctrl.h>

// Found by argument-dependent lookup, so they live in RECT's own (the global) namespace.
inline bool operator==(const RECT& a, const RECT& b) {
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

inline std::ostream& operator<<(std::ostream& out, const RECT& r) {
    return out << "(" << r.left << ", " << r.top << ", " << r.right << ", " << r.bottom << ")";
}

namespace {

RECT Box(int x, int y, int width, int height) {
    return {x, y, x + width, y + height};
}

HWND FocusOf(HWND window) {
    GUITHREADINFO info = {sizeof info};
    GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &info);
    return info.hwndFocus;
}

class RuleDialogTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(app_.Start());
        dialog_ = app_.OpenRuleDialog();
        ASSERT_TRUE(dialog_);
    }
    // Clicks "添加规则" and returns the text of the box it shows (answered), or "" when none.
    std::wstring AddAndReadBox(const std::wstring& hotkey, const std::wstring& target) {
        SendMessageW(dialog_->hotkeyEdit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(hotkey.c_str()));
        SendMessageW(dialog_->targetEdit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(target.c_str()));
        const MessageBoxInfo box = app_.ClickAndAnswer(dialog_->addButton);
        if (box.window) {
            EXPECT_EQ(L"信息", box.title);
        }
        return box.text;
    }

    ZemoApp app_;
    std::optional<RuleDialog> dialog_;
    TempDirectory targets_;
};

}  // namespace

TEST(MainWindowLayout, ControlsSitWhereTheLayoutPutsThemAnyCodePage) {
    ZemoApp app;
    ASSERT_TRUE(app.Start());
    const struct {
        int id;
        RECT rect;
        const wchar_t* text;
    } expected[] = {
        {kFileListId, Box(8, 10, 672, 302), nullptr},
        {kDirectoryLabelId, Box(8, 320, 112, 24), L"需要处理的文件目录："},
        {kDirectoryEditId, Box(125, 322, 295, 20), L""},
        {kChooseFolderButtonId, Box(420, 320, 78, 24), L"选择文件夹"},
        {kReadListButtonId, Box(500, 320, 80, 24), L"读取文件列表"},
        {kRulesButtonId, Box(582, 320, 99, 24), L"快捷键规则配置"},
        {kRuleListId, Box(8, 352, 672, 248), nullptr},
    };
    for (const auto& control : expected) {
        HWND window = app.Control(control.id);
        ASSERT_NE(nullptr, window) << control.id;
        EXPECT_EQ(control.rect, RectInParent(window)) << control.id;
        if (control.text) {
            EXPECT_EQ(control.text, WindowText(window)) << control.id;
        }
    }
    HWND player = nullptr;
    for (HWND child : ChildrenInOrder(app.MainWindow()))
        if (WindowClass(child) == L"AtlAxWin")
            player = child;
    ASSERT_NE(nullptr, player);
    EXPECT_EQ(Box(688, 10, 365, 592), RectInParent(player));
    EXPECT_EQ((std::vector<std::wstring>{L"索引", L"文件名", L"操作类型", L"结果"}).size(),
              static_cast<size_t>(SendMessageW(reinterpret_cast<HWND>(SendMessageW(
                                                   app.Control(kFileListId), LVM_GETHEADER, 0, 0)),
                                               HDM_GETITEMCOUNT, 0, 0)));
}

TEST(MainWindowLayout, TabDoesNotMoveTheFocus) {
    ZemoApp app;
    ASSERT_TRUE(app.Start());
    ASSERT_TRUE(BringToForeground(app.MainWindow()));
    HWND edit = app.Control(kDirectoryEditId);
    LeftClickAt({(ScreenRect(edit).left + ScreenRect(edit).right) / 2,
                 (ScreenRect(edit).top + ScreenRect(edit).bottom) / 2});
    ASSERT_TRUE(WaitUntil([&] { return FocusOf(app.MainWindow()) == edit; }));
    PressKeys({VK_TAB});
    PressKeys({'Z'});  // typed after the Tab: it lands where the focus is
    ASSERT_TRUE(WaitUntil([&] { return WindowText(edit).find(L'z') != std::wstring::npos; }));
    EXPECT_EQ(edit, FocusOf(app.MainWindow()));
}

TEST_F(RuleDialogTest, OpensModalOverTheMainWindowAndTabMovesTheFocus) {
    EXPECT_EQ(L"规则配置", WindowText(dialog_->window));
    EXPECT_FALSE(IsWindowEnabled(app_.MainWindow()));
    const RECT outer = ScreenRect(dialog_->window);
    EXPECT_EQ(343, outer.right - outer.left);
    EXPECT_EQ(272, outer.bottom - outer.top);
    EXPECT_EQ(0, SendMessageW(dialog_->operationCombo, CB_GETCURSEL, 0, 0));
    EXPECT_EQ(2, SendMessageW(dialog_->operationCombo, CB_GETCOUNT, 0, 0));

    ASSERT_TRUE(BringToForeground(dialog_->window));
    const RECT target = ScreenRect(dialog_->targetEdit);
    LeftClickAt({(target.left + target.right) / 2, (target.top + target.bottom) / 2});
    ASSERT_TRUE(WaitUntil([&] { return FocusOf(dialog_->window) == dialog_->targetEdit; }));
    PressKeys({VK_TAB});
    EXPECT_TRUE(WaitUntil([&] { return FocusOf(dialog_->window) == dialog_->chooseButton; }));
}

TEST_F(RuleDialogTest, CancelAndTheCloseBoxReEnableAndActivateTheMainWindow) {
    PostMessageW(dialog_->cancelButton, BM_CLICK, 0, 0);
    ASSERT_TRUE(WaitUntil([&] { return !IsWindow(dialog_->window); }));
    EXPECT_TRUE(WaitUntil([&] { return IsWindowEnabled(app_.MainWindow()) != 0; }));
    EXPECT_TRUE(WaitUntil([&] { return GetForegroundWindow() == app_.MainWindow(); }));

    dialog_ = app_.OpenRuleDialog();
    ASSERT_TRUE(dialog_);
    PostMessageW(dialog_->window, WM_SYSCOMMAND, SC_CLOSE, 0);
    ASSERT_TRUE(WaitUntil([&] { return !IsWindow(dialog_->window); }));
    EXPECT_TRUE(WaitUntil([&] { return IsWindowEnabled(app_.MainWindow()) != 0; }));
}

TEST_F(RuleDialogTest, ChecksTheFieldsInOrderAnyCodePage) {
    EXPECT_EQ(L"快捷键不能为空！", AddAndReadBox(L"", L""));
    EXPECT_EQ(L"目标文件夹不能为空！", AddAndReadBox(L"F2", L""));
    EXPECT_EQ(L"不是有效的文件夹目录！", AddAndReadBox(L"F2", targets_ / L"missing"));
    EXPECT_EQ(L"", AddAndReadBox(L"F2", targets_.Path()));
    // A file as target is refused before the duplicate test.
    WriteFileBytes(targets_ / L"file.txt", "x");
    EXPECT_EQ(L"不是有效的文件夹目录！", AddAndReadBox(L"F2", targets_ / L"file.txt"));
    EXPECT_EQ(L"快捷键配置已存在！", AddAndReadBox(L"F2", targets_.Path()));
    EXPECT_EQ(1, app_.RuleList().ItemCount());
}

// Keys that differ only in case are one key to config.ini: the second is refused.
TEST_F(RuleDialogTest, AddsSeveralRulesWhileOpenAndRefusesACaseOnlyDuplicate) {
    EXPECT_EQ(L"", AddAndReadBox(L"A", targets_.Path()));
    SendMessageW(dialog_->operationCombo, CB_SETCURSEL, 1, 0);
    EXPECT_EQ(L"快捷键配置已存在！", AddAndReadBox(L"a", targets_.Path()));
    EXPECT_EQ(L"", AddAndReadBox(L"B", targets_.Path()));
    ASSERT_EQ(2, app_.RuleList().ItemCount());
    EXPECT_EQ(L"复制文件", app_.RuleList().Text(0, 1));
    EXPECT_EQ(L"移动文件", app_.RuleList().Text(1, 1));
    EXPECT_TRUE(IsWindow(dialog_->window));
    EXPECT_EQ(L"B", WindowText(dialog_->hotkeyEdit));  // fields are kept for the next rule
}

TEST_F(RuleDialogTest, CancellingTheFolderBrowserKeepsTheTarget) {
    SendMessageW(dialog_->targetEdit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"D:\\kept"));
    PostMessageW(dialog_->chooseButton, BM_CLICK, 0, 0);
    HWND browser = nullptr;
    ASSERT_TRUE(WaitUntil([&] {
        for (HWND window : TopLevelWindows(app_.Process().Id()))
            if (WindowClass(window) == L"#32770")
                browser = window;
        return browser != nullptr;
    }));
    PostMessageW(browser, WM_COMMAND, IDCANCEL, 0);
    ASSERT_TRUE(WaitUntil([&] { return !IsWindow(browser); }));
    // A sent message is handled once the click handler has returned.
    DWORD_PTR result = 0;
    ASSERT_TRUE(SendMessageTimeoutW(dialog_->window, WM_NULL, 0, 0, SMTO_NORMAL, 5000, &result));
    EXPECT_EQ(L"D:\\kept", WindowText(dialog_->targetEdit));
}
