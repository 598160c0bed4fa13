#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/exact_path.h"
#include "app/rule_file.h"
#include "tests/support/process.h"

namespace {

const std::string kHeader = std::string("[") + kRuleSection + "]\r\n";

HotkeyRule Rule(std::string_view file, size_t i) {
    return RuleFromEntry(ParseRuleSection(file).entries.at(i));
}

}  // namespace

TEST(RuleSectionReader, ReadsEntriesInFileOrderAndSplitsValues) {
    const std::string file = kHeader +
                             "Control+A=复制文件|D:\\sorted\r\n"
                             "A=移动文件|D:\\x|extra|more\r\n"
                             "B=移动文件||D:\\x\r\n"
                             "C=复制文件|D:\\a=b\r\n"
                             "noequals\r\nE=复制文件\r\n"
                             "K=复制文件|D:\\亅x\r\n";  // "亅" is 81 7C: its second byte is "|"
    EXPECT_EQ(Text("Control+A"), Rule(file, 0).hotkey);
    EXPECT_EQ(Text("复制文件"), Rule(file, 0).operation);
    EXPECT_EQ(Text("D:\\sorted"), Rule(file, 0).target);
    EXPECT_EQ(Text("D:\\x"), Rule(file, 1).target);    // further pieces are ignored
    EXPECT_EQ(Text(""), Rule(file, 2).target);         // the empty piece is the target
    EXPECT_EQ(Text("D:\\a=b"), Rule(file, 3).target);  // "=" stays in the value
    EXPECT_EQ(Text(""), Rule(file, 4).hotkey);
    EXPECT_EQ(Text("noequals"), Rule(file, 4).operation);
    EXPECT_EQ(Text(""), Rule(file, 5).target);
    EXPECT_EQ(Text("D:\\亅x"), Rule(file, 6).target);
}

TEST(RuleOperation, CountsAsTheReaderTrimsAndAnyOtherTextDoesNothing) {
    EXPECT_EQ(RuleOperation::kCopy, OperationOf("复制文件 \t\x1A"));
    EXPECT_EQ(RuleOperation::kMove, OperationOf("\v\f移动文件\r"));
    // "　" (A1 A1) is not a blank to the reader.
    for (const char* text : {"复制", "移动", "", "复制文件　", "移动文件x"})
        EXPECT_EQ(RuleOperation::kNone, OperationOf(text)) << text;
}

TEST(RuleSectionWriter, KeepsEveryOtherByteAndAddsTheSectionWhereThereIsNone) {
    // Other sections, a comment and blank lines around and between the rules.
    const std::string above =
        "; made by hand\r\n[其他]\r\nx = 1\r\n\r\n" + kHeader + "; my rules\r\n";
    const std::string below = "\r\n[后面]\r\ny=2";
    const std::string a = "A=复制文件|D:\\a", b = "  B = 移动文件|D:\\b  ", c = "C=复制文件|D:\\c";
    const std::string before = above + a + "\r\n\r\n" + b + "\r\n" + c + "\r\n" + below;
    // Delete B: only its line goes.
    EXPECT_EQ(above + a + "\r\n\r\n" + c + "\r\n" + below, WithRuleLines(before, {a, c}));
    // Add D: after the last rule, other lines untouched byte for byte.
    EXPECT_EQ(above + a + "\r\n\r\n" + b + "\r\n" + c + "\r\nD=复制文件|D:\\d\r\n" + below,
              WithRuleLines(before, {a, b, c, "D=复制文件|D:\\d"}));

    // The section or its first line is added where there is none.
    EXPECT_EQ(kHeader + "A=1\r\n", WithRuleLines("", {"A=1"}));
    EXPECT_EQ("[x]\r\ny=2\r\n" + kHeader + "A=1\r\n", WithRuleLines("[x]\r\ny=2", {"A=1"}));
    EXPECT_EQ(kHeader + "A=1\r\n", WithRuleLines(kHeader.substr(0, kHeader.size() - 2), {"A=1"}));
    EXPECT_EQ(kHeader + "A=1\r\nB=2\r\n", WithRuleLines(kHeader + "A=1", {"A=1", "B=2"}));
    EXPECT_EQ(kHeader + "[x]\r\n", WithRuleLines(kHeader + "A=1\r\n[x]\r\n", {}));
    // Repeated sections: only the first one changes.
    EXPECT_EQ(kHeader + "B=2\r\n" + kHeader + "A=1\r\n",
              WithRuleLines(kHeader + "A=1\r\n" + kHeader + "A=1\r\n", {"B=2"}));
}

TEST(ConfigFileReplacement, ReplacesWholeOrLeavesTheOldFile) {
    TempDirectory dir;
    const std::wstring path = dir / L"config.ini";
    ASSERT_EQ(0u, ReplaceConfigFile(path, "first"));
    ASSERT_EQ(0u, ReplaceConfigFile(path, "second"));
    std::string bytes;
    ASSERT_EQ(0u, ReadConfigFile(path, bytes));
    EXPECT_EQ("second", bytes);

    // A folder in the file's place: the write fails, the folder stays, no file is left.
    const std::wstring folder = dir / L"folder.ini";
    ASSERT_TRUE(CreateDirectoryW(folder.c_str(), nullptr));
    EXPECT_NE(0u, ReplaceConfigFile(folder, "x"));
    EXPECT_TRUE(DirectoryExists(folder));
    EXPECT_FALSE(FileExists(folder + L".new"));
    EXPECT_EQ(static_cast<DWORD>(ERROR_FILE_NOT_FOUND), ReadConfigFile(dir / L"none.ini", bytes));
}

TEST(RuleTexts, RefusesTextsTheFileCannotHoldOrThatDependOnTheCurrentDirectory) {
    using P = RuleTextProblem;
    EXPECT_EQ(P::kNone, CheckRuleTexts(L"Ctrl+G", L"D:\\照片"));
    EXPECT_EQ(P::kNone, CheckRuleTexts(L"F5", L"\\\\server\\share\\x"));
    EXPECT_EQ(P::kTargetNotStorable, CheckRuleTexts(L"F5", L"D:\\사진"));
    EXPECT_EQ(P::kTargetNotStorable, CheckRuleTexts(L"F5", L"D:\\x "));
    for (const wchar_t* key : {L"=", L"Ctrl+=", L";x", L"[x", L" x", L"사", L"a\r\nb"})
        EXPECT_EQ(P::kHotkeyNotStorable, CheckRuleTexts(key, L"D:\\x")) << key;
    for (const wchar_t* target : {L"photos", L".", L"\\x", L"D:x", L"D:"})
        EXPECT_EQ(P::kTargetRelative, CheckRuleTexts(L"F5", target)) << target;
    EXPECT_TRUE(SameHotkeyIgnoringCase("Ctrl+G", "ctrl+g"));
    EXPECT_FALSE(SameHotkeyIgnoringCase("G", "H"));
}

TEST(ExactPath, KeepsTheLastNameExactlyAndTidiesTheFolder) {
    EXPECT_EQ(L"\\\\?\\C:\\dir\\a.", ExactPath(L"C:\\dir\\a."));
    EXPECT_EQ(L"\\\\?\\C:\\dir\\a ", ExactPath(L"C:\\dir\\a "));
    EXPECT_EQ(L"\\\\?\\C:\\con.mp4", ExactPath(L"C:\\con.mp4"));
    EXPECT_EQ(L"\\\\?\\C:\\e\\f", ExactPath(L"C:\\d\\..\\e/f"));
    EXPECT_EQ(L"\\\\?\\UNC\\server\\share\\x.", ExactPath(L"\\\\server\\share\\x."));
    EXPECT_EQ(L"\\\\?\\D:\\x", ExactPath(L"\\\\?\\D:\\x"));
}
