// The rule dialog of the real program: a modal window, its hotkey field, its checks.
#include <gtest/gtest.h>

#include "tests/support/config_file.h"
#include "tests/support/input.h"
#include "tests/support/key_strokes.h"
#include "tests/support/keyboard_focus.h"
#include "tests/support/zemo_app.h"

TEST(RuleDialog, OpensModalCapturesKeysChecksTheFieldsAndSavesWhatConfigIniHoldsAnyCodePage) {
    ZemoApp app;
    ASSERT_TRUE(app.Start());
    std::optional<RuleDialog> dialog = app.OpenRuleDialog();
    ASSERT_TRUE(dialog);
    TempDirectory targets;
    // Fills the fields, clicks "添加规则" and returns the text of the box it shows
    // (answered), or "" when none.
    const auto addAndReadBox = [&](const std::wstring& hotkey, int operation,
                                   const std::wstring& target) {
        SendMessageW(dialog->hotkeyEdit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(hotkey.c_str()));
        SendMessageW(dialog->operationCombo, CB_SETCURSEL, operation, 0);
        SendMessageW(dialog->targetEdit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(target.c_str()));
        const MessageBoxInfo box = app.ClickAndAnswer(dialog->addButton);
        if (box.window) {
            EXPECT_EQ(L"信息", box.title);
        }
        return box.text;
    };
    // A plain start names no folder and writes no config.ini.
    EXPECT_EQ(L"", app.DirectoryText());
    EXPECT_FALSE(FileExists(app.ConfigPath()));
    EXPECT_EQ(L"规则配置", WindowText(dialog->window));
    EXPECT_FALSE(IsWindowEnabled(app.MainWindow()));
    const RECT outer = ScreenRect(dialog->window);
    EXPECT_EQ(RuleDialogLayout::kWindow.width, outer.right - outer.left);
    EXPECT_EQ(RuleDialogLayout::kWindow.height, outer.bottom - outer.top);
    EXPECT_EQ(0, SendMessageW(dialog->operationCombo, CB_GETCURSEL, 0, 0));
    EXPECT_EQ(2, SendMessageW(dialog->operationCombo, CB_GETCOUNT, 0, 0));
    ASSERT_TRUE(ClickInto(dialog->window, dialog->targetEdit));
    PressKeys({VK_TAB});
    EXPECT_TRUE(WaitUntil([&] { return FocusOf(dialog->window) == dialog->chooseButton; }));

    // The hotkey field shows each key pressed in it under the program's name for it.
    ASSERT_TRUE(ClickInto(dialog->window, dialog->hotkeyEdit));
    const std::wstring combination = KeyNameOf(VK_CONTROL) + L"+" + KeyNameOf('A');
    PressKeys({VK_LCONTROL, 'A'});
    ASSERT_TRUE(WaitUntil([&] { return WindowText(dialog->hotkeyEdit) == combination; }));
    PressKeys({VK_LCONTROL});  // the modifier alone changes nothing
    // Keys sharing a scan code are told apart.
    for (const KeyStroke& stroke :
         {KeypadStroke(VK_NUMPAD4), StrokeOf(VK_LEFT), KeypadStroke(VK_NUMPAD2),
          StrokeOf(VK_DELETE), StrokeOf(VK_F7)}) {
        SendBurst({stroke});
        ASSERT_FALSE(HotkeyNameOf(stroke).empty());
        EXPECT_TRUE(WaitUntil([&] {
            return WindowText(dialog->hotkeyEdit) == HotkeyNameOf(stroke);
        })) << stroke.key;
    }
    for (WORD reserved : {VK_UP, VK_DOWN, VK_END, VK_HOME, VK_LWIN}) {
        PressKeys({reserved});
        const MessageBoxInfo box = WaitForMessageBox(app.Process().Id());
        ASSERT_NE(nullptr, box.window) << reserved;
        EXPECT_EQ(L"信息", box.title);
        EXPECT_EQ(L"程序保留键代码，禁止使用！", box.text);
        ASSERT_TRUE(AnswerMessageBox(box.window));
        EXPECT_EQ(HotkeyNameOf(StrokeOf(VK_F7)), WindowText(dialog->hotkeyEdit)) << reserved;
        ASSERT_TRUE(ClickInto(dialog->window, dialog->hotkeyEdit)) << reserved;
    }
    // Typed characters never enter the field: it is read-only and centred.
    const LONG style = GetWindowLongW(dialog->hotkeyEdit, GWL_STYLE);
    EXPECT_EQ(ES_READONLY | ES_CENTER, style & (ES_READONLY | ES_CENTER));

    // A relative target names a folder beside the program, which must not count.
    CreateDirectoryW((app.Directory() + L"\\photos").c_str(), nullptr);
    const std::wstring korean = targets / L"사진";
    ASSERT_TRUE(CreateDirectoryW(korean.c_str(), nullptr));
    const std::wstring file = targets / L"file.txt";
    WriteFileBytes(file, "x");
    const std::wstring to = targets.Path();
    struct Attempt {
        const wchar_t* hotkey;
        int operation;
        std::wstring target;
        const wchar_t* message;  // empty: the rule is added
    };
    // Rules are added while the dialog stays open. A file as target is refused before the
    // duplicate test; keys that differ only in case are one key to config.ini.
    const Attempt attempts[] = {{L"", 0, L"", L"快捷键不能为空！"},
                                {L"F2", 0, L"", L"目标文件夹不能为空！"},
                                {L"F2", 0, targets / L"missing", L"不是有效的文件夹目录！"},
                                {L"F2", 0, to, L""},
                                {L"F2", 0, file, L"不是有效的文件夹目录！"},
                                {L"A", 0, to, L""},
                                {L"a", 1, to, L"快捷键配置已存在！"},
                                {L"B", 1, to, L""},
                                {L"F5", 0, korean, L"目标目录含有无法保存的字符！"},
                                {L"=", 0, to, L"这个快捷键的名称无法保存到配置文件！"},
                                {L"F6", 0, L"photos", L"不是有效的文件夹目录！"}};
    for (const Attempt& attempt : attempts) {
        EXPECT_EQ(attempt.message, addAndReadBox(attempt.hotkey, attempt.operation, attempt.target))
            << testing::PrintToString(attempt.hotkey) << " " << attempt.target;
        if (!*attempt.message) {  // the fields are kept for the next rule
            EXPECT_EQ(attempt.hotkey, WindowText(dialog->hotkeyEdit));
        }
    }
    const std::string saved =
        RuleConfig({L"F2=复制文件|" + to, L"A=复制文件|" + to, L"B=移动文件|" + to});
    EXPECT_EQ(saved, ReadFileBytes(app.ConfigPath()));
    EXPECT_EQ((std::vector<std::wstring>{L"复制文件", L"复制文件", L"移动文件"}),
              app.RuleList().Column(1));

    // Another instance changed config.ini meanwhile, adding Q and deleting B: the file as it
    // is now decides whether a key is taken, and the list shows it.
    const std::string another =
        RuleConfig({L"F2=复制文件|" + to, L"A=复制文件|" + to, L"Q=移动文件|" + to});
    ASSERT_TRUE(WriteFileBytes(app.ConfigPath(), another));
    EXPECT_EQ(L"快捷键配置已存在！", addAndReadBox(L"q", 0, to));
    EXPECT_EQ(another, ReadFileBytes(app.ConfigPath()));
    EXPECT_EQ(3, app.RuleList().ItemCount());
    EXPECT_EQ(L"Q", app.RuleList().Text(2, 0));
    EXPECT_EQ(L"", addAndReadBox(L"B", 0, to));
    EXPECT_EQ(RuleConfig({L"F2=复制文件|" + to, L"A=复制文件|" + to, L"Q=移动文件|" + to,
                          L"B=复制文件|" + to}),
              ReadFileBytes(app.ConfigPath()));

    // A rule that cannot be saved is told and not added.
    ASSERT_TRUE(DeleteFileW(app.ConfigPath().c_str()));
    ASSERT_TRUE(CreateDirectoryW(app.ConfigPath().c_str(), nullptr));  // a folder in its place
    const std::wstring text = addAndReadBox(L"F9", 0, to);
    EXPECT_NE(std::wstring::npos, text.find(L"config.ini")) << text;
    EXPECT_EQ(4, app.RuleList().ItemCount());
    EXPECT_TRUE(DirectoryExists(app.ConfigPath())) << "the folder stays where it is";

    // Cancelling the folder browser keeps the target.
    SendMessageW(dialog->targetEdit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"D:\\kept"));
    PostMessageW(dialog->chooseButton, BM_CLICK, 0, 0);
    HWND browser = nullptr;
    ASSERT_TRUE(WaitUntil([&] {
        for (HWND window : TopLevelWindows(app.Process().Id()))
            if (WindowClass(window) == L"#32770")
                browser = window;
        return browser != nullptr;
    }));
    PostMessageW(browser, WM_COMMAND, IDCANCEL, 0);
    ASSERT_TRUE(WaitUntil([&] { return !IsWindow(browser); }));
    // A sent message is handled once the click handler has returned.
    DWORD_PTR result = 0;
    ASSERT_TRUE(SendMessageTimeoutW(dialog->window, WM_NULL, 0, 0, SMTO_NORMAL, 5000, &result));
    EXPECT_EQ(L"D:\\kept", WindowText(dialog->targetEdit));

    // Cancel, and then the close box, each re-enable the main window; Cancel activates it.
    PostMessageW(dialog->cancelButton, BM_CLICK, 0, 0);
    ASSERT_TRUE(WaitUntil([&] { return !IsWindow(dialog->window); }));
    EXPECT_TRUE(WaitUntil([&] { return IsWindowEnabled(app.MainWindow()) != 0; }));
    EXPECT_TRUE(WaitUntil([&] { return GetForegroundWindow() == app.MainWindow(); }));
    dialog = app.OpenRuleDialog();
    ASSERT_TRUE(dialog);
    PostMessageW(dialog->window, WM_SYSCOMMAND, SC_CLOSE, 0);
    ASSERT_TRUE(WaitUntil([&] { return !IsWindow(dialog->window); }));
    EXPECT_TRUE(WaitUntil([&] { return IsWindowEnabled(app.MainWindow()) != 0; }));
}
