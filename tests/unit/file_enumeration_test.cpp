#include <gtest/gtest.h>

#include <set>
#include <string>

#include "app/file_enumeration.h"
#include "tests/support/process.h"

namespace {

std::set<std::wstring> Entries(const BlockArray& list) {
    std::set<std::wstring> entries;
    for (int32_t i = 1; i <= list.Count(); ++i)
        entries.insert(std::wstring(list.At(i).WideView()));
    return entries;
}

class EnumerateFilesTest : public ::testing::Test {
  protected:
    void SetUp() override {
        for (const wchar_t* name : {L"a.txt", L"b.mp4", L"c"})
            WriteFileBytes(dir_ / name, "x");
        for (const wchar_t* name : {L"sub1", L"sub2.d"}) {
            CreateDirectoryW((dir_ / name).c_str(), nullptr);
            WriteFileBytes(dir_ / name + L"\\inner.txt", "y");
        }
    }
    TempDirectory dir_;
};

}  // namespace

TEST_F(EnumerateFilesTest, ListsOnlyTheFilesDirectlyInside) {
    BlockArray list;
    const TextBlock folder = TextBlock::FromWide(dir_.Path());
    EXPECT_EQ(3, EnumerateFiles(folder, TextBlock::FromWide(L"*"), list, true));
    EXPECT_EQ((std::set<std::wstring>{dir_ / L"a.txt", dir_ / L"b.mp4", dir_ / L"c"}),
              Entries(list));
    for (int32_t i = 1; i <= list.Count(); ++i)
        EXPECT_EQ(list.At(i).ByteCount(),
                  static_cast<int32_t>((list.At(i).WideLength() + 1) * sizeof(wchar_t)));
}

TEST_F(EnumerateFilesTest, ATrailingBackslashGivesTheSamePaths) {
    BlockArray plain, trailing;
    EnumerateFiles(TextBlock::FromWide(dir_.Path()), TextBlock::FromWide(L"*"), plain, true);
    EnumerateFiles(TextBlock::FromWide(dir_.Path() + L"\\"), TextBlock::FromWide(L"*"), trailing,
                   true);
    EXPECT_EQ(Entries(plain), Entries(trailing));
}

TEST_F(EnumerateFilesTest, BareNamesPatternsAndMissingDirectories) {
    BlockArray list;
    EXPECT_EQ(1, EnumerateFiles(TextBlock::FromWide(dir_.Path()), TextBlock::FromWide(L"*.mp4"),
                                list, false));
    EXPECT_EQ(std::set<std::wstring>{L"b.mp4"}, Entries(list));
    // A failed search leaves the list empty, not holding the previous result.
    EXPECT_EQ(0, EnumerateFiles(TextBlock::FromWide(dir_ / L"missing"), TextBlock::FromWide(L"*"),
                                list, true));
    EXPECT_EQ(0, list.Count());
}

TEST_F(EnumerateFilesTest, KeepsNamesOutsideCodePage936Exactly) {
    const std::wstring name = L"caf\u00e9 \ud55c\uad6d \U0001F600.mp3";
    WriteFileBytes(dir_ / name, "z");
    BlockArray list;
    EnumerateFiles(TextBlock::FromWide(dir_.Path()), TextBlock::FromWide(L"*.mp3"), list, true);
    EXPECT_EQ(std::set<std::wstring>{dir_ / name}, Entries(list));
}
