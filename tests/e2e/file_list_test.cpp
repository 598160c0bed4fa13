// Reading a directory into the file list of the real program.
#include <gtest/gtest.h>

#include <algorithm>
#include <set>

#include "tests/support/zemo_app.h"

namespace {

class FileListTest : public ::testing::Test {
  protected:
    void SetUp() override { ASSERT_TRUE(app_.Start()); }

    std::wstring MakeDirectory(const std::wstring& name,
                               std::initializer_list<std::wstring> files) {
        const std::wstring path = root_ / name;
        CreateDirectoryW(path.c_str(), nullptr);
        for (const std::wstring& file : files)
            WriteFileBytes(path + L"\\" + file, "data");
        return path;
    }
    std::set<std::wstring> Names() {
        const std::vector<std::wstring> column = app_.FileList().Column(1);
        return {column.begin(), column.end()};
    }
    TempDirectory root_;
    ZemoApp app_;
};

}  // namespace

TEST_F(FileListTest, ListsOnlyTheFilesDirectlyInsideNumberedFrom01) {
    std::vector<std::wstring> files;
    for (int i = 0; i < 12; ++i)
        files.push_back(L"f" + std::to_wstring(i) + L".txt");
    const std::wstring dir = root_ / L"twelve";
    CreateDirectoryW(dir.c_str(), nullptr);
    for (const std::wstring& file : files)
        WriteFileBytes(dir + L"\\" + file, "");
    for (const wchar_t* sub : {L"\\sub1", L"\\sub2"}) {
        CreateDirectoryW((dir + sub).c_str(), nullptr);
        WriteFileBytes(dir + sub + L"\\inner.txt", "x");
    }
    ASSERT_TRUE(app_.LoadDirectory(dir, 12));
    EXPECT_EQ((std::vector<std::wstring>{L"01", L"02", L"03", L"04", L"05", L"06", L"07", L"08",
                                         L"09", L"10", L"11", L"12"}),
              app_.FileList().Column(0));
    EXPECT_EQ(std::set<std::wstring>(files.begin(), files.end()), Names());
    for (int column : {2, 3})
        for (const std::wstring& cell : app_.FileList().Column(column))
            EXPECT_EQ(L"", cell);
}

TEST_F(FileListTest, EveryReadReplacesEveryRowAndWhatIsNoFolderIsRefusedAndChangesNothing) {
    const std::wstring first = MakeDirectory(L"first", {L"one.txt", L"two.txt", L"three.txt"});
    const std::wstring second = MakeDirectory(L"second", {L"x.mp3", L"y.mp3"});
    const std::wstring empty = MakeDirectory(L"empty", {});
    WriteFileBytes(root_ / L"plain.txt", "");
    ASSERT_TRUE(app_.LoadDirectory(first, 3));
    const std::set<std::wstring> plain = Names();
    ASSERT_TRUE(app_.LoadDirectory(second, 2));
    EXPECT_EQ((std::set<std::wstring>{L"x.mp3", L"y.mp3"}), Names());
    ASSERT_TRUE(app_.LoadDirectory(first + L"\\", 3));
    EXPECT_EQ(plain, Names());

    const std::pair<std::wstring, const wchar_t*> refused[] = {
        {L"", L"文件目录不能为空！"},
        {root_ / L"does-not-exist", L"文件目录不存在！"},
        {L"   ", L"文件目录不存在！"},
        {root_ / L"plain.txt", L"文件目录不存在！"}};
    for (const auto& [typed, message] : refused) {
        app_.SetDirectoryText(typed);
        const MessageBoxInfo box = app_.ClickAndAnswer(app_.Control(kReadListButtonId));
        ASSERT_NE(nullptr, box.window) << testing::PrintToString(typed);
        EXPECT_EQ(L"信息", box.title);
        EXPECT_EQ(message, box.text);
    }
    EXPECT_EQ(plain, Names());
    EXPECT_EQ(root_ / L"plain.txt", app_.DirectoryText());

    // An empty folder empties the list without a message.
    app_.SetDirectoryText(empty);
    EXPECT_EQ(nullptr, app_.ClickAndAnswer(app_.Control(kReadListButtonId)).window);
    EXPECT_EQ(0, app_.FileList().ItemCount());
}
