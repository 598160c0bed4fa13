// Reading directories into the real program's file list: 100,000 files streamed in while
// the user works, read by this process cell by cell; a new read replacing the rows; what
// is not a folder refused. Which files a directory lists, and how a row's cells are
// spelt, are checked in the unit tests.
#include <gtest/gtest.h>

#include <windows.h>

#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "tests/support/config_file.h"
#include "tests/support/host_shell.h"
#include "tests/support/input.h"
#include "tests/support/sorting_files.h"
#include "tests/support/zemo_app.h"

namespace {

constexpr int kManyFiles = 100000;

class LargeFileListTest : public ::testing::Test {
  protected:
    // One directory of many files for the whole suite. Under Wine every file created
    // through the system makes it search the whole directory for a name differing only in
    // case, so the files are made by the host's own shell where there is one.
    static void SetUpTestSuite() {
        many_ = new TempDirectory;
        if (RunHostShell("cd " + HostPath(many_->Path()) + " && seq -f photo-%06g.jpg 1 " +
                         std::to_string(kManyFiles) + " | xargs touch") &&
            FileExists(*many_ / L"photo-100000.jpg"))
            return;
        for (int i = 1; i <= kManyFiles; ++i) {
            wchar_t name[32];
            swprintf(name, 32, L"photo-%06d.jpg", i);
            HANDLE file = CreateFileW((*many_ / name).c_str(), GENERIC_WRITE, 0, nullptr,
                                      CREATE_NEW, 0, nullptr);
            CloseHandle(file);
        }
    }
    static void TearDownTestSuite() {
        RunHostShell("cd " + HostPath(many_->Path()) + " && find . -name 'photo-*.jpg' -delete");
        delete many_;
        many_ = nullptr;
    }

    static inline TempDirectory* many_ = nullptr;
};

}  // namespace

TEST_F(LargeFileListTest,
       RowsArriveInOrderWhileAHotkeySortsSelectedRowsANewReadCancelsAndNoFolderIsRefused) {
    TempDirectory target, few, empty;
    for (const wchar_t* name : {L"a.txt", L"b.txt", L"c.txt"})
        WriteFileBytes(few / name, "x");
    ZemoApp app(RuleConfig({L"F9=复制文件|" + target.Path()}));
    // A file named on the command line gets the message of a typed one.
    ASSERT_TRUE(app.Start(L"\"" + (few / L"a.txt") + L"\""));
    const MessageBoxInfo box = WaitForMessageBox(app.Process().Id());
    ASSERT_TRUE(box.window) << "no message for the command line's file";
    EXPECT_EQ(L"文件目录不存在！", box.text);
    AnswerMessageBox(box.window);
    RemoteListView& list = app.FileList();
    EXPECT_EQ(0, list.ItemCount());
    const ULONGLONG started = GetTickCount64();
    app.ReadDirectory(many_->Path());

    // A hotkey during the read sorts the row already there.
    ASSERT_TRUE(WaitUntil([&] { return list.ItemCount() >= 1; }, 60000));
    ASSERT_TRUE(app.ClickFileRow(0));
    PressKeys({VK_F9});
    ASSERT_TRUE(WaitUntil([&] { return list.Text(0, 3) == L"复制成功"; }));
    EXPECT_EQ(L"复制文件", list.Text(0, 2));
    const std::wstring first = list.Text(0, 1);
    EXPECT_EQ(std::vector<std::wstring>{first}, FolderListing(target.Path()));

    // The read goes on to its end around the sorted row, which keeps its texts.
    ASSERT_TRUE(WaitUntil([&] { return list.ItemCount() == kManyFiles; }, 60000));
    const DWORD wholeRead = static_cast<DWORD>(GetTickCount64() - started);
    EXPECT_EQ(L"复制成功", list.Text(0, 3));
    EXPECT_EQ(L"", list.Text(1, 3));
    EXPECT_TRUE(list.IsSelected(0));

    // Rows spread over the whole list name the files in the file system's order.
    const std::vector<std::wstring> expected = FolderListing(many_->Path());
    ASSERT_EQ(static_cast<size_t>(kManyFiles), expected.size());
    for (int row = 0; row < kManyFiles; row += 997)
        EXPECT_EQ(expected[row], list.Text(row, 1)) << row;
    EXPECT_EQ(expected.back(), list.Text(kManyFiles - 1, 1));
    // How an index cell is spelt is checked in the unit tests; here the last row's count.
    EXPECT_EQ(L"100000", list.Text(kManyFiles - 1, 0));

    // A range made with Shift (one state change for the whole range in a virtual list),
    // and the last row added as a Ctrl+click adds it.
    ASSERT_TRUE(app.ClickFileRow(1));
    PressKeys({VK_LSHIFT, VK_DOWN});
    PressKeys({VK_LSHIFT, VK_DOWN});
    ASSERT_TRUE(WaitUntil([&] { return list.IsSelected(3); }));
    const int last = kManyFiles - 1;
    ASSERT_TRUE(list.SetSelected(last, true, false));
    PressKeys({VK_F9});
    const std::vector<int> selected = {1, 2, 3, last};
    for (int row : selected) {
        EXPECT_TRUE(WaitUntil([&] { return list.Text(row, 3) == L"复制成功"; })) << row;
        EXPECT_TRUE(FileExists(target / list.Text(row, 1))) << row;
    }
    EXPECT_EQ(selected.size() + 1, FolderListing(target.Path()).size());
    EXPECT_FALSE(list.IsSelected(0));

    // A second read is cancelled by a third: no row of it turns up later, within twice a
    // whole read.
    app.ReadDirectory(many_->Path());
    ASSERT_TRUE(app.LoadDirectory(few.Path(), 3));
    EXPECT_FALSE(WaitUntil([&] { return list.ItemCount() != 3; }, wholeRead * 2 + 1000));
    EXPECT_EQ((std::vector<std::wstring>{L"01", L"02", L"03"}), list.Column(0));
    EXPECT_EQ(FolderListing(few.Path()), list.Column(1));

    // What is not a folder is refused with its message and changes neither list nor field.
    const std::pair<std::wstring, const wchar_t*> refused[] = {
        {L"", L"文件目录不能为空！"},
        {L"   ", L"文件目录不存在！"},
        {few / L"missing", L"文件目录不存在！"}};
    for (const auto& [typed, message] : refused) {
        app.SetDirectoryText(typed);
        const MessageBoxInfo refusal = app.ClickAndAnswer(app.Control(kReadListButtonId));
        ASSERT_NE(nullptr, refusal.window) << testing::PrintToString(typed);
        EXPECT_EQ(L"信息", refusal.title);
        EXPECT_EQ(message, refusal.text);
    }
    EXPECT_EQ(FolderListing(few.Path()), list.Column(1));
    EXPECT_EQ(few / L"missing", app.DirectoryText());

    // An empty folder empties the list without a message.
    app.SetDirectoryText(empty.Path());
    EXPECT_EQ(nullptr, app.ClickAndAnswer(app.Control(kReadListButtonId)).window);
    EXPECT_EQ(0, list.ItemCount());
}
