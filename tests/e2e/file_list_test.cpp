// Reading a directory into the file list of the real program.
#include <gtest/gtest.h>

#include <set>

#include "tests/support/zemo_app.h"

namespace {

std::wstring MakeDirectory(const std::wstring& path, const std::vector<std::wstring>& files) {
    CreateDirectoryW(path.c_str(), nullptr);
    for (const std::wstring& file : files)
        WriteFileBytes(path + L"\\" + file, "data");
    return path;
}

}  // namespace

TEST(FileList, ListsOnlyTheFilesInsideEveryReadReplacesTheRowsAndNoFolderIsRefused) {
    TempDirectory root;
    std::vector<std::wstring> files;
    for (int i = 0; i < 12; ++i)
        files.push_back(L"f" + std::to_wstring(i) + L".txt");
    const std::wstring twelve = MakeDirectory(root / L"twelve", files);
    for (const wchar_t* sub : {L"\\sub1", L"\\sub2"})
        MakeDirectory(twelve + sub, {L"inner.txt"});
    const std::wstring second = MakeDirectory(root / L"second", {L"x.mp3", L"y.mp3"});
    const std::wstring empty = MakeDirectory(root / L"empty", {});
    WriteFileBytes(root / L"plain.txt", "");
    auto names = [](ZemoApp& app) {
        const std::vector<std::wstring> column = app.FileList().Column(1);
        return std::set<std::wstring>(column.begin(), column.end());
    };

    // A file named on the command line gets the message of a typed one.
    ZemoApp app;
    ASSERT_TRUE(app.Start(L"\"" + (root / L"plain.txt") + L"\""));
    MessageBoxInfo box = WaitForMessageBox(app.Process().Id());
    ASSERT_TRUE(box.window) << "no message for the command line's file";
    EXPECT_EQ(L"文件目录不存在！", box.text);
    AnswerMessageBox(box.window);
    EXPECT_EQ(0, app.FileList().ItemCount());

    ASSERT_TRUE(app.LoadDirectory(twelve, 12));
    EXPECT_EQ((std::vector<std::wstring>{L"01", L"02", L"03", L"04", L"05", L"06", L"07", L"08",
                                         L"09", L"10", L"11", L"12"}),
              app.FileList().Column(0));
    const std::set<std::wstring> listed(files.begin(), files.end());
    EXPECT_EQ(listed, names(app));
    for (int column : {2, 3})
        for (const std::wstring& cell : app.FileList().Column(column))
            EXPECT_EQ(L"", cell);
    ASSERT_TRUE(app.LoadDirectory(second, 2));
    EXPECT_EQ((std::set<std::wstring>{L"x.mp3", L"y.mp3"}), names(app));
    ASSERT_TRUE(app.LoadDirectory(twelve + L"\\", 12));
    EXPECT_EQ(listed, names(app));

    const std::pair<std::wstring, const wchar_t*> refused[] = {
        {L"", L"文件目录不能为空！"},
        {root / L"does-not-exist", L"文件目录不存在！"},
        {L"   ", L"文件目录不存在！"},
        {root / L"plain.txt", L"文件目录不存在！"}};
    for (const auto& [typed, message] : refused) {
        app.SetDirectoryText(typed);
        box = app.ClickAndAnswer(app.Control(kReadListButtonId));
        ASSERT_NE(nullptr, box.window) << testing::PrintToString(typed);
        EXPECT_EQ(L"信息", box.title);
        EXPECT_EQ(message, box.text);
    }
    EXPECT_EQ(listed, names(app));
    EXPECT_EQ(root / L"plain.txt", app.DirectoryText());

    // An empty folder empties the list without a message.
    app.SetDirectoryText(empty);
    EXPECT_EQ(nullptr, app.ClickAndAnswer(app.Control(kReadListButtonId)).window);
    EXPECT_EQ(0, app.FileList().ItemCount());
}
