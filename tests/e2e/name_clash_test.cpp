// Copies and moves onto taken names in the real program with "重名时保留两者" on: a different
// file is kept beside the other under the first free numbered name, which the journal
// records and the undo follows; an identical one is written nowhere. Which reason a clash
// gives is the transfer's unit case, and how it reaches the row's tip the application's.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/support/config_file.h"
#include "tests/support/folder_session.h"
#include "tests/support/input.h"
#include "tests/support/row_presses.h"
#include "tests/support/sorting_files.h"
#include "tests/support/zemo_app.h"

namespace {

constexpr DWORD kCopyWaitMs = 60000;

class NameClashEndToEndTest : public FolderSessionTest {
  protected:
    // Starts the program with C copying and M moving into the target folder, both files kept,
    // on the source folder holding these files and `otherFiles` more.
    void StartWith(const FileContents& files, int otherFiles = 0) {
        StartOn(RuleConfig({KeyNameOf('C') + L"=复制文件|" + target_.Path(),
                            KeyNameOf('M') + L"=移动文件|" + target_.Path()}) +
                    SettingsConfig(L"重名时保留两者=1\r\n"),
                files, static_cast<int>(files.size()) + otherFiles);
    }
    bool Press(const std::wstring& name, WORD key, const std::wstring& result) {
        return PressOn(name, key, result, kCopyWaitMs);
    }
    // Each journal line's operation, source, target, result and reason.
    std::vector<std::vector<std::wstring>> JournalLines() {
        std::vector<std::vector<std::wstring>> lines;
        for (const auto& record : Journal())
            lines.emplace_back(record.size() == 6
                                   ? std::vector<std::wstring>(record.begin() + 1, record.end())
                                   : record);
        return lines;
    }
};

}  // namespace

// Names that take " (3)" as their two lower numbers are taken: one with an extension, one
// outside code page 936, one without an extension; an identical file is written nowhere; the
// undos of a kept copy and a kept move touch only the files they made.
TEST_F(NameClashEndToEndTest, BothKeptFilesTakeTheFirstFreeNumberAndTheirUndoTakesExactlyThem) {
    const std::wstring emoji = L"caf\u00e9 \U0001F600.jpg";
    const std::wstring emojiTaken = L"caf\u00e9 \U0001F600 (2).jpg";
    const std::wstring emojiKept = L"caf\u00e9 \U0001F600 (3).jpg";
    const std::pair<std::wstring, std::string> theirs[] = {{L"IMG_1.JPG", "card 1"},
                                                           {L"IMG_1 (2).JPG", "card 2"},
                                                           {emoji, "e1"},
                                                           {emojiTaken, "e2"},
                                                           {L"README", "r1"},
                                                           {L"README (2)", "r2"},
                                                           {L"same.jpg", "twin"}};
    for (const auto& [name, content] : theirs)
        ASSERT_TRUE(WriteFileBytes(L"\\\\?\\" + (target_ / name), content));
    StartWith({{L"IMG_1.JPG", "card 3"}, {emoji, "e3"}, {L"README", "r3"}, {L"same.jpg", "twin"}});

    ASSERT_TRUE(Press(L"IMG_1.JPG", 'C', L"复制成功"));
    ASSERT_TRUE(Press(emoji, 'C', L"复制成功"));
    ASSERT_TRUE(Press(L"README", 'M', L"移动成功"));
    ASSERT_TRUE(Press(L"same.jpg", 'C', L"复制失败"));
    EXPECT_EQ("card 3", ReadFileBytes(target_ / L"IMG_1 (3).JPG"));
    EXPECT_EQ("e3", ReadFileBytes(L"\\\\?\\" + (target_ / emojiKept)));
    EXPECT_EQ("r3", ReadFileBytes(target_ / L"README (3)"));
    EXPECT_FALSE(FileExists(source_ / L"README"));
    EXPECT_EQ(10u, FolderListing(target_.Path()).size()) << "the identical file was written";

    // The row's "撤销" takes the kept move back; Ctrl+Z then the most recent copy.
    ASSERT_TRUE(UndoByMenu(L"README"));
    ASSERT_TRUE(RowResultIs(*app_, RowOf(L"README"), L"已撤销", kCopyWaitMs));
    ASSERT_TRUE(SelectFile(L"IMG_1.JPG"));
    PressKeys({VK_LCONTROL, 'Z'});
    ASSERT_TRUE(RowResultIs(*app_, RowOf(emoji), L"已撤销", kCopyWaitMs));
    EXPECT_EQ("r3", ReadFileBytes(source_ / L"README"));
    for (const auto& [name, content] : theirs)
        EXPECT_EQ(content, ReadFileBytes(L"\\\\?\\" + (target_ / name)));
    EXPECT_EQ(8u, FolderListing(target_.Path()).size());
    EXPECT_EQ("card 3", ReadFileBytes(target_ / L"IMG_1 (3).JPG"));

    const auto records = JournalLines();
    ASSERT_EQ(6u, records.size());
    const auto kept = [&](const wchar_t* operation, const std::wstring& name,
                          const std::wstring& keptName, const wchar_t* result) {
        return std::vector<std::wstring>{operation, source_ / name, target_ / keptName, result,
                                         L"已另存为 " + keptName};
    };
    EXPECT_EQ(kept(L"复制文件", L"IMG_1.JPG", L"IMG_1 (3).JPG", L"复制成功"), records[0]);
    EXPECT_EQ(kept(L"复制文件", emoji, emojiKept, L"复制成功"), records[1]);
    EXPECT_EQ(kept(L"移动文件", L"README", L"README (3)", L"移动成功"), records[2]);
    EXPECT_EQ((std::vector<std::wstring>{L"复制文件", source_ / L"same.jpg", target_ / L"same.jpg",
                                         L"复制失败", L"目标文件夹已有相同的文件"}),
              records[3]);
    EXPECT_EQ((std::vector<std::wstring>{L"撤销移动", target_ / L"README (3)", source_ / L"README",
                                         L"已撤销", L""}),
              records[4]);
    EXPECT_EQ((std::vector<std::wstring>{L"撤销复制", target_ / emojiKept, L"", L"已撤销", L""}),
              records[5]);
}

// Another program takes the free name the copy chose while the copy runs: the copy takes the
// next one, and the other program's file is left as it wrote it.
TEST_F(NameClashEndToEndTest, ANameTakenDuringTheCopyMakesItTakeTheNextAndLeavesThatFileAlone) {
    ASSERT_TRUE(CreateLargeFile(source_ / L"big.bin", 3ULL << 30));
    WriteFileBytes(target_ / L"big.bin", "an older big.bin");
    StartWith({}, 1);

    ASSERT_TRUE(PressOnFile(*app_, L"big.bin", {'C'}));
    ASSERT_TRUE(WaitUntil([&] { return !PartialFile().empty(); }, kCopyWaitMs));
    ASSERT_TRUE(WriteFileBytes(target_ / L"big (2).bin", "theirs"));
    ASSERT_FALSE(PartialFile().empty()) << "the copy ended before the name was taken";
    ASSERT_TRUE(RowResultIs(*app_, RowOf(L"big.bin"), L"复制成功", 5 * kCopyWaitMs));

    EXPECT_EQ("theirs", ReadFileBytes(target_ / L"big (2).bin"));
    EXPECT_EQ(static_cast<int64_t>(3ULL << 30), FileSizeOf(target_ / L"big (3).bin"));
    EXPECT_EQ((std::vector<std::wstring>{L"big (2).bin", L"big (3).bin", L"big.bin"}),
              FolderListing(target_.Path()));
    const auto records = JournalLines();
    ASSERT_EQ(1u, records.size());
    EXPECT_EQ(target_ / L"big (3).bin", records[0][2]);
    EXPECT_EQ(L"已另存为 big (3).bin", records[0][4]);
    DeleteFileW((target_ / L"big (3).bin").c_str());
}
