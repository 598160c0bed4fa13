// A hotkey sorts exactly the rows the user selected, as the list stood when the key was
// pressed, and has no other effect: real key strokes with their scan codes and extended
// flags, the rows read back across processes, the files checked on disk.
#include <gtest/gtest.h>

#include <windows.h>
#include <winioctl.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "tests/support/input.h"
#include "tests/support/key_strokes.h"
#include "tests/support/remote_selection.h"
#include "tests/support/zemo_app.h"

namespace {

std::string Gbk(const std::wstring& text) {
    const int size = WideCharToMultiByte(936, 0, text.c_str(), -1, nullptr, 0, nullptr, nullptr);
    std::string bytes(size > 0 ? size - 1 : 0, '\0');
    WideCharToMultiByte(936, 0, text.c_str(), -1, bytes.data(), size, nullptr, nullptr);
    return bytes;
}

struct Rule {
    std::wstring hotkey;
    std::wstring operation;
    std::wstring target;
};

std::string Config(const std::vector<Rule>& rules) {
    std::string bytes = Gbk(L"[快捷键配置]") + "\r\n";
    for (const Rule& rule : rules)
        bytes += Gbk(rule.hotkey + L"=" + rule.operation + L"|" + rule.target) + "\r\n";
    return bytes;
}

int CountFiles(const std::wstring& directory) {
    WIN32_FIND_DATAW data;
    HANDLE find = FindFirstFileW((directory + L"\\*").c_str(), &data);
    if (find == INVALID_HANDLE_VALUE)
        return 0;
    int count = 0;
    do {
        if (!(data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
            ++count;
    } while (FindNextFileW(find, &data));
    FindClose(find);
    return count;
}

class HotkeyTargetTest : public ::testing::Test {
  protected:
    // Writes the files and lists them with the files already in the source directory.
    void StartWith(const std::vector<Rule>& rules, const std::vector<std::wstring>& files,
                   int filesAlreadyThere = 0) {
        for (const std::wstring& name : files)
            WriteFileBytes(source_ / name, "content of " + Gbk(name));
        app_ = std::make_unique<ZemoApp>(Config(rules));
        ASSERT_TRUE(app_->Start());
        ASSERT_TRUE(app_->LoadDirectory(source_.Path(),
                                        static_cast<int>(files.size()) + filesAlreadyThere));
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
    // Adds a row to the selection, or takes it away, as Ctrl+click does.
    bool CtrlClickFileRow(int row, bool selected) {
        return SetRowSelected(app_->FileList().Handle(), row, selected, true) &&
               app_->FileList().IsSelected(row) == selected;
    }

    TempDirectory source_;
    TempDirectory target_;
    std::unique_ptr<ZemoApp> app_;
};

// A large file made sparse, so that making it is quick (a copy of it still writes it all).
bool MakeSparseFile(const std::wstring& path, LONGLONG size) {
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    DWORD ignored = 0;
    DeviceIoControl(file, FSCTL_SET_SPARSE, nullptr, 0, nullptr, 0, &ignored, nullptr);
    LARGE_INTEGER end;
    end.QuadPart = size;
    const BOOL sized = SetFilePointerEx(file, end, nullptr, FILE_BEGIN) && SetEndOfFile(file);
    CloseHandle(file);
    return sized;
}

std::vector<std::wstring> NumberedFiles(int count) {
    std::vector<std::wstring> names;
    for (int i = 0; i < count; ++i)
        names.push_back(L"file" + std::to_wstring(100 + i) + L".txt");
    return names;
}

}  // namespace

TEST_F(HotkeyTargetTest, NavigationKeysNeverFireKeypadRulesAndKeypadKeysStillDo) {
    // One rule per keypad key that shares its scan code with a navigation key, each with
    // a target of its own.
    const WORD keypad[] = {VK_NUMPAD2, VK_NUMPAD4, VK_NUMPAD6, VK_NUMPAD9, VK_NUMPAD3, VK_NUMPAD0};
    std::vector<std::unique_ptr<TempDirectory>> targets;
    std::vector<Rule> rules;
    for (const WORD key : keypad) {
        targets.push_back(std::make_unique<TempDirectory>());
        rules.push_back({HotkeyNameOf(KeypadStroke(key)), L"复制文件", targets.back()->Path()});
    }
    StartWith(rules, NumberedFiles(30));
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

TEST_F(HotkeyTargetTest, ADigitRuleSortsTheSameRowTwiceAndNeverMovesTheList) {
    // Row "03" is selected; the digit's character used to reach the list's type-ahead
    // search, which selected row "10", and the next press sorted file 10.
    StartWith({{HotkeyNameOf(StrokeOf('1')), L"复制文件", target_.Path()}}, NumberedFiles(12));
    ASSERT_TRUE(app_->ClickFileRow(2));
    SendBurst({StrokeOf('1')});
    ASSERT_TRUE(RowShows(2, L"复制成功"));
    SendBurst({StrokeOf('1')});
    ASSERT_TRUE(RowShows(2, L"复制失败"));
    EXPECT_EQ(2, app_->FileList().SelectionMark());
    EXPECT_TRUE(app_->FileList().IsSelected(2));
    EXPECT_EQ(L"", Result(9));
    EXPECT_EQ(1, CountFiles(target_.Path()));
}

TEST_F(HotkeyTargetTest, EachBurstOfAnArrowAndAHotkeySortsTheRowTheArrowMovedTo) {
    // The bursts are sent while the program is still busy copying a large file, so every
    // key waits in its queue, as on a slow machine.
    TempDirectory bigTarget;
    const std::wstring big = L"big.bin";
    ASSERT_TRUE(MakeSparseFile(source_ / big, 256LL << 20));
    StartWith({{HotkeyNameOf(StrokeOf(VK_F8)), L"复制文件", bigTarget.Path()},
               {HotkeyNameOf(StrokeOf(VK_F9)), L"复制文件", target_.Path()}},
              NumberedFiles(20), 1);
    const int bigRow = RowOf(big);
    ASSERT_GE(bigRow, 0);
    // Down, or Up where the big file is listed too near the end.
    const int step = bigRow + 10 < 21 ? 1 : -1;
    ASSERT_TRUE(app_->ClickFileRow(bigRow));
    SendBurst({StrokeOf(VK_F8)});
    ASSERT_TRUE(WaitUntil([&] { return FileExists(bigTarget / big); }, 30000));
    for (int i = 0; i < 10; ++i)
        SendBurst({StrokeOf(step > 0 ? VK_DOWN : VK_UP), StrokeOf(VK_F9)});

    for (int i = 1; i <= 10; ++i)
        ASSERT_TRUE(RowShows(bigRow + i * step, L"复制成功")) << "burst " << i;
    EXPECT_EQ(bigRow + 10 * step, app_->FileList().SelectionMark());
    EXPECT_EQ(L"复制成功", Result(bigRow));
    EXPECT_FALSE(FileExists(target_ / big));
    EXPECT_EQ(10, CountFiles(target_.Path()));
}

TEST_F(HotkeyTargetTest, KeysPressedDuringALargeCopyActOnTheRowTheyChose) {
    // A 1 GB file, made sparse so that making it is quick (its copy still writes 1 GB).
    const std::wstring big = L"a-big.bin";
    ASSERT_TRUE(MakeSparseFile(source_ / big, 1LL << 30));
    TempDirectory moved;
    StartWith({{HotkeyNameOf(StrokeOf(VK_F9)), L"复制文件", target_.Path()},
               {HotkeyNameOf(StrokeOf(VK_F10)), L"移动文件", moved.Path()}},
              {L"b-small.txt", L"c-small.txt"}, 1);
    const int bigRow = RowOf(big);
    ASSERT_GE(bigRow, 0);
    // The neighbour Down (or Up, when the big file is listed last) moves to.
    const bool last = bigRow == 2;
    const int next = last ? bigRow - 1 : bigRow + 1;
    const std::wstring nextName = app_->FileList().Text(next, 1);
    ASSERT_TRUE(app_->ClickFileRow(bigRow));

    SendBurst({StrokeOf(VK_F9)});
    ASSERT_TRUE(WaitUntil([&] { return FileExists(target_ / big); }, 30000));
    SendBurst({StrokeOf(last ? VK_UP : VK_DOWN), StrokeOf(VK_F10)});

    ASSERT_TRUE(RowShows(bigRow, L"复制成功"));
    ASSERT_TRUE(RowShows(next, L"移动成功"));
    EXPECT_TRUE(FileExists(source_ / big));
    EXPECT_FALSE(FileExists(moved / big));
    EXPECT_TRUE(FileExists(moved / nextName));
    EXPECT_FALSE(FileExists(source_ / nextName));
}

TEST_F(HotkeyTargetTest, OnePressSortsEverySelectedRowAndNoneWithoutASelection) {
    StartWith({{HotkeyNameOf(StrokeOf('K')), L"复制文件", target_.Path()}}, NumberedFiles(6));
    ASSERT_TRUE(app_->ClickFileRow(0));
    ASSERT_TRUE(CtrlClickFileRow(2, true));
    ASSERT_TRUE(CtrlClickFileRow(4, true));
    SendBurst({StrokeOf('K')});
    for (const int row : {0, 2, 4})
        ASSERT_TRUE(RowShows(row, L"复制成功")) << "row " << row;
    EXPECT_EQ(3, CountFiles(target_.Path()));

    // With the selection taken away row by row, a press sorts nothing; a press after
    // selecting row 5 then sorts row 5 alone.
    for (const int row : {0, 2, 4})
        ASSERT_TRUE(CtrlClickFileRow(row, false)) << "row " << row;
    SendBurst({StrokeOf('K')});
    ASSERT_TRUE(CtrlClickFileRow(5, true));
    SendBurst({StrokeOf('K')});
    ASSERT_TRUE(RowShows(5, L"复制成功"));
    for (const int row : {0, 2, 4})
        EXPECT_EQ(L"复制成功", Result(row)) << "row " << row;
    for (const int row : {1, 3})
        EXPECT_EQ(L"", Result(row)) << "row " << row;
    EXPECT_EQ(4, CountFiles(target_.Path()));
}

TEST(HotkeyCapture, KeysSharingAScanCodeAreCapturedUnderTheirOwnNames) {
    ZemoApp app;
    ASSERT_TRUE(app.Start());
    std::optional<RuleDialog> dialog = app.OpenRuleDialog();
    ASSERT_TRUE(dialog);
    ASSERT_TRUE(BringToForeground(dialog->window));
    const RECT field = ScreenRect(dialog->hotkeyEdit);
    LeftClickAt({(field.left + field.right) / 2, (field.top + field.bottom) / 2});
    ASSERT_TRUE(WaitUntil([&] {
        GUITHREADINFO info = {sizeof info};
        return GetGUIThreadInfo(GetWindowThreadProcessId(dialog->window, nullptr), &info) &&
               info.hwndFocus == dialog->hotkeyEdit;
    }));
    for (const KeyStroke& stroke : {KeypadStroke(VK_NUMPAD4), StrokeOf(VK_LEFT),
                                    KeypadStroke(VK_NUMPAD2), StrokeOf(VK_DELETE)}) {
        SendBurst({stroke});
        ASSERT_FALSE(HotkeyNameOf(stroke).empty());
        EXPECT_TRUE(WaitUntil([&] {
            return WindowText(dialog->hotkeyEdit) == HotkeyNameOf(stroke);
        })) << stroke.key;
    }
}
