#include <gtest/gtest.h>

#include "app/file_names.h"

namespace {

// "乗" in code page 936 is 81 5C: its second byte is a backslash.
const char* const kTrailBackslash = "乗";

}  // namespace

TEST(FileNameFromPath, TakesTheLastComponentAsTheShellDoesWholeCharactersAnyCodePage) {
    EXPECT_EQ(Text("b.txt"), FileNameFromPath(Text("D:\\a\\b.txt")));
    EXPECT_EQ(Text("照片 01.jpg"), FileNameFromPath(Text("D:\\相册\\照片 01.jpg")));
    EXPECT_EQ(Text("name"), FileNameFromPath(Text("name")));
    EXPECT_EQ(Text("b.txt"), FileNameFromPath(Text("D:/a/b.txt")));
    // Trailing and leading separators as the shell treats them.
    EXPECT_EQ(Text("a\\"), FileNameFromPath(Text("D:\\a\\")));
    EXPECT_EQ(Text(""), FileNameFromPath(Text("\\")));
    EXPECT_EQ(Text(""), FileNameFromPath(Text("")));
    // A trail byte that looks like a backslash does not end a component.
    const Text name = JoinTexts({kTrailBackslash, "x.mp4"});
    EXPECT_EQ(name, FileNameFromPath(JoinTexts({"D:\\dir\\", name.c_str()})));
    const Text folder = JoinTexts({"D:\\", kTrailBackslash, "\\a.txt"});
    EXPECT_EQ(Text("a.txt"), FileNameFromPath(folder));
}

TEST(ExtensionOf, IsTheLastDotOfTheLastComponentAnyCodePage) {
    EXPECT_EQ(Text(".mp4"), ExtensionOf(Text("D:\\v\\clip.mp4")));
    EXPECT_EQ(Text(".MP3"), ExtensionOf(Text("D:\\v\\song.MP3")));
    EXPECT_EQ(Text(".gz"), ExtensionOf(Text("a.tar.gz")));
    EXPECT_EQ(Text(""), ExtensionOf(Text("D:\\v.d\\noext")));
    EXPECT_EQ(Text(""), ExtensionOf(Text("a.mp4 copy")));
    EXPECT_EQ(Text("."), ExtensionOf(Text("trailing.")));
    // A trail byte that looks like a backslash does not start a new component.
    EXPECT_EQ(Text(".mp3"), ExtensionOf(JoinTexts({"D:\\a.b\\", kTrailBackslash, ".mp3"})));
    EXPECT_EQ(Text(""), ExtensionOf(JoinTexts({"D:\\a.b\\", kTrailBackslash, "x"})));
}
