// File names outside code page 936 in the real program's file list.
#include <gtest/gtest.h>

#include <set>

#include "tests/support/zemo_app.h"

TEST(ExactNamesTest, TheFileListShowsNamesOutsideCodePage936ExactlyAnyCodePage) {
    TempDirectory root;
    const std::set<std::wstring> names = {L"e\U0001F600.txt", L"\ud55c\uae00.jpg",
                                          L"\u3072\u3089\u304c\u306a.mp4", L"照片.jpg"};
    for (const std::wstring& name : names)
        ASSERT_TRUE(WriteFileBytes(root / name, "x"));
    ZemoApp app;
    ASSERT_TRUE(app.Start());
    ASSERT_TRUE(app.LoadDirectory(root.Path(), static_cast<int>(names.size())));
    const std::vector<std::wstring> column = app.FileList().Column(1);
    EXPECT_EQ(names, std::set<std::wstring>(column.begin(), column.end()));
}
