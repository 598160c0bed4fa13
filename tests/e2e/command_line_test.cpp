// A folder named on the command line, as "Open with" and shortcuts pass it.
#include <gtest/gtest.h>

#include <set>

#include "tests/support/zemo_app.h"

namespace {

std::wstring Quoted(const std::wstring& path) {
    return L"\"" + path + L"\"";
}

}  // namespace

TEST(CommandLineFolder, StartsWithTheFolderReadEvenOutsideTheAnsiCodePageAnyCodePage) {
    TempDirectory files;
    // Hangul and "ğ" are outside code page 936; spaces need the quotes.
    const std::wstring folder = files / L"사진 ğ 2026";
    ASSERT_TRUE(CreateDirectoryW(folder.c_str(), nullptr));
    const std::set<std::wstring> names = {L"春节-01.jpg", L"사진-02.jpg", L"ğ.mp4"};
    for (const std::wstring& name : names)
        ASSERT_TRUE(WriteFileBytes(folder + L"\\" + name, "x"));

    ZemoApp app;
    ASSERT_TRUE(app.Start(Quoted(folder)));
    ASSERT_TRUE(WaitUntil(
        [&] { return app.FileList().ItemCount() == 3 && !app.FileList().Text(2, 1).empty(); }));
    EXPECT_EQ(folder, app.DirectoryText());
    // Names outside code page 936 show as that code page can show them; the row count and
    // the one name it holds whole prove the folder itself was found.
    std::set<std::wstring> shown;
    for (int row = 0; row < 3; ++row)
        shown.insert(app.FileList().Text(row, 1));
    EXPECT_EQ(1u, shown.count(L"春节-01.jpg")) << "in code page 936";
    EXPECT_TRUE(app.Close());
}

TEST(CommandLineFolder, APathThatIsNotAFolderGetsTheMessageOfATypedOne) {
    TempDirectory files;
    ASSERT_TRUE(WriteFileBytes(files / L"a.jpg", "x"));
    for (const std::wstring& path : {files / L"missing", files / L"a.jpg"}) {
        ZemoApp app;
        ASSERT_TRUE(app.Start(Quoted(path)));
        const MessageBoxInfo box = WaitForMessageBox(app.Process().Id());
        ASSERT_TRUE(box.window) << "no message for " << testing::PrintToString(path);
        EXPECT_EQ(L"文件目录不存在！", box.text);
        AnswerMessageBox(box.window);
        EXPECT_EQ(0, app.FileList().ItemCount());
        EXPECT_TRUE(app.Close());
    }
}
