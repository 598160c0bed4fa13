// The main window's layout and the rule dialog of the real program.
#include <gtest/gtest.h>

#include "tests/support/input.h"
#include "tests/support/layout_expectations.h"
#include "tests/support/zemo_app.h"

#include <commctrl.h>

namespace {

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

TEST(MainWindowLayout, ControlsSitWhereTheLayoutPutsThemAndTabKeepsTheFocusAnyCodePage) {
    ZemoApp app;
    ASSERT_TRUE(app.Start());
    for (const ExpectedControl& control : MainWindowControls()) {
        HWND window = app.Control(control.id);
        ASSERT_NE(nullptr, window) << control.id;
        EXPECT_EQ(control.box, BoxOf(RectInParent(window))) << control.id;
        if (control.text) {
            EXPECT_EQ(control.text, WindowText(window)) << control.id;
        }
    }
    HWND player = nullptr;
    for (HWND child : ChildrenInOrder(app.MainWindow()))
        if (WindowClass(child) == L"AtlAxWin")
            player = child;
    ASSERT_NE(nullptr, player);
    EXPECT_EQ(MainWindowLayout::kPreview, BoxOf(RectInParent(player)));
    const HWND header =
        reinterpret_cast<HWND>(SendMessageW(app.Control(kFileListId), LVM_GETHEADER, 0, 0));
    EXPECT_EQ(4, SendMessageW(header, HDM_GETITEMCOUNT, 0, 0));

    // Tab does not move the focus: a key typed after it lands in the same field.
    ASSERT_TRUE(BringToForeground(app.MainWindow()));
    HWND edit = app.Control(kDirectoryEditId);
    LeftClickAt({(ScreenRect(edit).left + ScreenRect(edit).right) / 2,
                 (ScreenRect(edit).top + ScreenRect(edit).bottom) / 2});
    ASSERT_TRUE(WaitUntil([&] { return FocusOf(app.MainWindow()) == edit; }));
    PressKeys({VK_TAB});
    PressKeys({'Z'});
    ASSERT_TRUE(WaitUntil([&] { return WindowText(edit).find(L'z') != std::wstring::npos; }));
    EXPECT_EQ(edit, FocusOf(app.MainWindow()));
}

TEST_F(RuleDialogTest, OpensModalChecksTheFieldsAddsRulesKeepsACancelledBrowseAnyCodePage) {
    EXPECT_EQ(L"规则配置", WindowText(dialog_->window));
    EXPECT_FALSE(IsWindowEnabled(app_.MainWindow()));
    const RECT outer = ScreenRect(dialog_->window);
    EXPECT_EQ(RuleDialogLayout::kWindow.width, outer.right - outer.left);
    EXPECT_EQ(RuleDialogLayout::kWindow.height, outer.bottom - outer.top);
    EXPECT_EQ(0, SendMessageW(dialog_->operationCombo, CB_GETCURSEL, 0, 0));
    EXPECT_EQ(2, SendMessageW(dialog_->operationCombo, CB_GETCOUNT, 0, 0));

    ASSERT_TRUE(BringToForeground(dialog_->window));
    const RECT target = ScreenRect(dialog_->targetEdit);
    LeftClickAt({(target.left + target.right) / 2, (target.top + target.bottom) / 2});
    ASSERT_TRUE(WaitUntil([&] { return FocusOf(dialog_->window) == dialog_->targetEdit; }));
    PressKeys({VK_TAB});
    EXPECT_TRUE(WaitUntil([&] { return FocusOf(dialog_->window) == dialog_->chooseButton; }));

    // The fields are checked in order; rules are added while the dialog stays open.
    EXPECT_EQ(L"快捷键不能为空！", AddAndReadBox(L"", L""));
    EXPECT_EQ(L"目标文件夹不能为空！", AddAndReadBox(L"F2", L""));
    EXPECT_EQ(L"不是有效的文件夹目录！", AddAndReadBox(L"F2", targets_ / L"missing"));
    EXPECT_EQ(L"", AddAndReadBox(L"F2", targets_.Path()));
    // A file as target is refused before the duplicate test.
    WriteFileBytes(targets_ / L"file.txt", "x");
    EXPECT_EQ(L"不是有效的文件夹目录！", AddAndReadBox(L"F2", targets_ / L"file.txt"));
    EXPECT_EQ(L"快捷键配置已存在！", AddAndReadBox(L"F2", targets_.Path()));

    // Keys that differ only in case are one key to config.ini: the second is refused.
    EXPECT_EQ(L"", AddAndReadBox(L"A", targets_.Path()));
    SendMessageW(dialog_->operationCombo, CB_SETCURSEL, 1, 0);
    EXPECT_EQ(L"快捷键配置已存在！", AddAndReadBox(L"a", targets_.Path()));
    EXPECT_EQ(L"", AddAndReadBox(L"B", targets_.Path()));
    EXPECT_EQ((std::vector<std::wstring>{L"复制文件", L"复制文件", L"移动文件"}),
              app_.RuleList().Column(1));
    EXPECT_TRUE(IsWindow(dialog_->window));
    EXPECT_EQ(L"B", WindowText(dialog_->hotkeyEdit));  // fields are kept for the next rule

    // Cancelling the folder browser keeps the target.
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

    // Cancel, and then the close box, each re-enable the main window; Cancel activates it.
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
