#include <gtest/gtest.h>

#include <string>

#include "app/rule_file.h"
#include "tests/support/process.h"

namespace {

class RuleFileTest : public ::testing::Test {
  protected:
    // Writes config.ini with the lines of the rule section (code page 936 bytes).
    Text WriteSection(const std::string& lines) {
        const std::wstring path = dir_ / L"config.ini";
        WriteFileBytes(path, std::string("[") + kRuleSection + "]\r\n" + lines);
        return FromUtf16(TextBlock::FromWide(path));
    }
    HotkeyRule Rule(const RuleSectionEntries& entries, int32_t i) {
        return RuleFromEntry(entries.keys.At(i), entries.values.At(i));
    }
    TempDirectory dir_;
};

}  // namespace

TEST_F(RuleFileTest, ReadsEntriesInFileOrder) {
    const Text path = WriteSection("Control+A=复制文件|D:\\sorted\r\nF5=移动文件|E:\\照片\r\n");
    const RuleSectionEntries entries = ReadRuleSection(path, Text(kRuleSection));
    ASSERT_EQ(2, entries.keys.Count());
    const HotkeyRule first = Rule(entries, 1);
    EXPECT_EQ(Text("Control+A"), first.hotkey);
    EXPECT_EQ(Text("复制文件"), first.operation);
    EXPECT_EQ(Text("D:\\sorted"), first.target);
    EXPECT_EQ(Text("F5"), Rule(entries, 2).hotkey);
    EXPECT_EQ(Text("E:\\照片"), Rule(entries, 2).target);
}

TEST_F(RuleFileTest, SplitsAtTheFirstEqualsAndTheFirstTwoBars) {
    const Text path = WriteSection(
        "A=移动文件|D:\\x|extra|more\r\n"
        "B=移动文件||D:\\x\r\n"
        "C=复制文件|D:\\a=b\r\n"
        "==复制文件|D:\\e\r\n");
    const RuleSectionEntries entries = ReadRuleSection(path, Text(kRuleSection));
    ASSERT_EQ(4, entries.keys.Count());

    EXPECT_EQ(Text("D:\\x"), Rule(entries, 1).target);    // further pieces are ignored
    EXPECT_EQ(Text(""), Rule(entries, 2).target);         // the empty piece is the target
    EXPECT_EQ(Text("D:\\a=b"), Rule(entries, 3).target);  // "=" stays in the value
    const HotkeyRule equalsKey = Rule(entries, 4);        // a hotkey "=" comes back empty
    EXPECT_EQ(Text(""), equalsKey.hotkey);
    EXPECT_EQ(Text("=复制文件"), equalsKey.operation);
}

TEST_F(RuleFileTest, ShortValuesLoadWithEmptyPieces) {
    const Text path = WriteSection("noequals\r\nE=复制文件\r\nF=复制文件|\r\nG=\r\n");
    const RuleSectionEntries entries = ReadRuleSection(path, Text(kRuleSection));
    ASSERT_EQ(4, entries.keys.Count());
    EXPECT_EQ(Text(""), Rule(entries, 1).hotkey);
    EXPECT_EQ(Text("noequals"), Rule(entries, 1).operation);
    EXPECT_EQ(Text("复制文件"), Rule(entries, 2).operation);
    EXPECT_EQ(Text(""), Rule(entries, 2).target);
    EXPECT_EQ(Text(""), Rule(entries, 3).target);
    EXPECT_EQ(Text(""), Rule(entries, 4).operation);
}

TEST_F(RuleFileTest, MissingFileOrSectionGivesNoEntries) {
    EXPECT_EQ(
        0, ReadRuleSection(FromUtf16(TextBlock::FromWide(dir_ / L"none.ini")), Text(kRuleSection))
               .keys.Count());
    const Text path = WriteSection("");
    EXPECT_EQ(0, ReadRuleSection(path, Text("其他")).keys.Count());
}

TEST_F(RuleFileTest, TwoByteCharactersNeverSplitAValue) {
    // "亅" is 81 7C in code page 936: its second byte is "|".
    const Text path = WriteSection("K=复制文件|D:\\亅x\r\n");
    const RuleSectionEntries entries = ReadRuleSection(path, Text(kRuleSection));
    ASSERT_EQ(1, entries.keys.Count());
    EXPECT_EQ(Text("D:\\亅x"), Rule(entries, 1).target);
}

TEST(RuleValue, JoinsOperationAndTarget) {
    EXPECT_EQ(Text("复制文件|D:\\sorted"), RuleValue(Text("复制文件"), Text("D:\\sorted")));
}
