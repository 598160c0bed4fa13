#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "app/base/exact_path.h"
#include "app/rules/rule.h"
#include "app/rules/rule_file.h"
#include "tests/support/process.h"

namespace {

const std::string kHeader = std::string("[") + kRuleSection + "]\r\n";

Rule RuleOf(std::string_view file, size_t i) {
    return ReadRules(file).at(i);
}

std::wstring Wide936(std::string_view bytes) {
    std::wstring wide(bytes.size(), L'\0');
    wide.resize(MultiByteToWideChar(936, 0, bytes.data(), static_cast<int>(bytes.size()),
                                    wide.data(), static_cast<int>(wide.size())));
    return wide;
}

// Whether the system's profile reader finds section `wanted` in a file whose only section
// is called `name`.
bool SystemFindsSection(const std::wstring& path, std::string_view name, std::string_view wanted) {
    if (!WriteFileBytes(path, "[" + std::string(name) + "]\r\nk=found\r\n"))
        return false;
    wchar_t value[16] = {};
    GetPrivateProfileStringW(Wide936(wanted).c_str(), L"k", L"", value, 16, path.c_str());
    return std::wstring_view(value) == L"found";
}

}  // namespace

// Further pieces, a line without "=" and case duplicates are read in the program; "亅" in a
// target is the rule model's case.
TEST(RuleSectionReader, TheSecondPieceIsTheTargetWhateverItHolds) {
    const std::string file = kHeader +
                             "B=移动文件||D:\\x\r\n"
                             "C=复制文件|D:\\a=b\r\n"
                             "E=复制文件\r\n";
    EXPECT_EQ("", RuleOf(file, 0).target);         // the empty piece is the target
    EXPECT_EQ("D:\\a=b", RuleOf(file, 1).target);  // "=" stays in the value
    EXPECT_EQ("", RuleOf(file, 2).target);
    EXPECT_EQ("复制文件", RuleOf(file, 2).operationText);
}

TEST(RuleOperation, CountsAsTheReaderTrimsAndAnyOtherTextDoesNothing) {
    EXPECT_EQ(RuleOperation::kCopy, OperationOf("复制文件 \t\x1A"));
    EXPECT_EQ(RuleOperation::kMove, OperationOf("\v\f移动文件\r"));
    // "　" (A1 A1) is not a blank to the reader.
    for (const char* text : {"复制", "移动", "", "复制文件　", "移动文件x"})
        EXPECT_EQ(RuleOperation::kInvalid, OperationOf(text)) << text;
}

TEST(RuleSectionWriter, AnAddOrADeleteChangesOnlyItsOwnLineAndKeepsEveryOtherByte) {
    // Other sections, a comment and blank lines around and between the rules.
    const std::string above =
        "; made by hand\r\n[其他]\r\nx = 1\r\n\r\n" + kHeader + "; my rules\r\n";
    const std::string below = "\r\n[后面]\r\ny=2";
    const std::string a = "A=复制文件|D:\\a", b = "  B = 移动文件|D:\\b  ", c = "C=复制文件|D:\\c";
    const std::string before = above + a + "\r\n\r\n" + b + "\r\n" + c + "\r\n" + below;
    EXPECT_EQ(above + a + "\r\n\r\n" + c + "\r\n" + below, WithRuleRemoved(before, b));
    EXPECT_EQ(above + a + "\r\n\r\n" + b + "\r\n" + c + "\r\nD=复制文件|D:\\d\r\n" + below,
              WithRuleAdded(before, "D=复制文件|D:\\d"));

    // A delete takes the first line equal byte for byte, and only a rule line of the section.
    EXPECT_EQ(kHeader + "A=1\n", WithRuleRemoved(kHeader + "A=1\r\nA=1\n", "A=1"));
    EXPECT_EQ(std::nullopt, WithRuleRemoved(before, "B = 移动文件|D:\\b"));
    EXPECT_EQ(std::nullopt, WithRuleRemoved(kHeader + ";A=1\r\n[x]\r\nA=1\r\n", "A=1"));
    EXPECT_EQ(kHeader + "[x]\r\n", WithRuleRemoved(kHeader + "A=1\r\n[x]\r\n", "A=1"));

    // The section or its first line is added where there is none.
    EXPECT_EQ(kHeader + "A=1\r\n", WithRuleAdded("", "A=1"));
    EXPECT_EQ("[x]\r\ny=2\r\n" + kHeader + "A=1\r\n", WithRuleAdded("[x]\r\ny=2", "A=1"));
    EXPECT_EQ(kHeader + "A=1\r\n", WithRuleAdded(kHeader.substr(0, kHeader.size() - 2), "A=1"));
    EXPECT_EQ(kHeader + "A=1\r\nB=2\r\n", WithRuleAdded(kHeader + "A=1", "B=2"));
    // Repeated sections: only the first one changes.
    EXPECT_EQ(kHeader + "A=1\r\nB=2\r\n" + kHeader + "A=1\r\n",
              WithRuleAdded(kHeader + "A=1\r\n" + kHeader + "A=1\r\n", "B=2"));
}

// A thread stands for a second running program: the lock is one per file, however its path
// is spelt, and a change waits for it.
TEST(ConfigFileLock, OneProgramAtATimeChangesAFileWhateverItsPathIsCalled) {
    TempDirectory dir;
    const std::wstring path = dir / L"config.ini";
    const std::string bytes = kHeader + "A=1\r\n";
    ASSERT_TRUE(WriteFileBytes(path, bytes));
    std::wstring otherSpelling = dir / L"x\\..\\CONFIG.INI";
    CharUpperW(otherSpelling.data());
    // A path too long for a mutex's name.
    const std::wstring longPath = dir / (std::wstring(300, L'x') + L"\\config.ini");
    const ConfigFileLock held(path), longHeld(longPath);
    ASSERT_EQ(0u, held.Error());
    ASSERT_EQ(0u, longHeld.Error());
    DWORD sameFile = 0, sameLongFile = 0, change = 0, otherFile = 1;
    bool changed = false;
    std::thread other([&] {
        sameFile = ConfigFileLock(otherSpelling, 0).Error();
        const std::wstring longSpelling = L"y\\..\\" + std::wstring(300, L'x') + L"\\CONFIG.INI";
        sameLongFile = ConfigFileLock(dir / longSpelling, 0).Error();
        std::string now;
        const auto addB = [&](std::string_view) {
            changed = true;
            return std::optional<std::string>("B=2");
        };
        change = ChangeConfigFile(path, addB, now, 0);
        otherFile = ConfigFileLock(dir / L"other.ini", 0).Error();
    });
    other.join();
    EXPECT_EQ(static_cast<DWORD>(WAIT_TIMEOUT), sameFile);
    EXPECT_EQ(static_cast<DWORD>(WAIT_TIMEOUT), sameLongFile);
    EXPECT_EQ(static_cast<DWORD>(WAIT_TIMEOUT), change);
    EXPECT_FALSE(changed);
    EXPECT_EQ(0u, otherFile);
    EXPECT_EQ(bytes, ReadFileBytes(path));
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
}

TEST(SectionAndHotkeyNames, FoldCaseAsTheSystemDoesAndNeverInsideATwoByteCharacter) {
    TempDirectory dir;
    struct Pair {
        const char* name;
        const char* other;
    };
    // 81 41 and 81 61 are two different characters whose second bytes are "A" and "a";
    // Ａ/ａ (A3 C1, A3 E1) and Α/α (A6 A1, A6 C1) are letters of one character each.
    const Pair pairs[] = {{"\x81\x41", "\x81\x61"},
                          {"\x81\x5A\x81\x41", "\x81\x7A\x81\x61"},
                          {"Ctrl+G", "ctrl+g"},
                          {"快捷键配置x", "快捷键配置X"},
                          {"Ａ", "ａ"},
                          {"Α", "α"},
                          {"G", "H"}};
    int file = 0;
    for (const Pair& pair : pairs) {
        const std::wstring path = dir / (L"names" + std::to_wstring(file++) + L".ini");
        const bool system = SystemFindsSection(path, pair.name, pair.other);
        const std::string ini = "[" + std::string(pair.name) + "]\r\nk=found\r\n";
        EXPECT_EQ(system, ParseRuleSection(ini, pair.other).found) << pair.name;
        EXPECT_EQ(system, SameHotkeyIgnoringCase(pair.name, pair.other)) << pair.name;
    }
    EXPECT_FALSE(SameHotkeyIgnoringCase("\x81\x41", "\x81\x61"));
    EXPECT_TRUE(SameHotkeyIgnoringCase("Ctrl+G", "ctrl+g"));
}

TEST(ExactPath, KeepsTheLastNameExactlyAndTidiesTheFolder) {
    EXPECT_EQ(L"\\\\?\\C:\\dir\\a.", ExactPath(L"C:\\dir\\a."));
    EXPECT_EQ(L"\\\\?\\C:\\dir\\a ", ExactPath(L"C:\\dir\\a "));
    EXPECT_EQ(L"\\\\?\\C:\\con.mp4", ExactPath(L"C:\\con.mp4"));
    EXPECT_EQ(L"\\\\?\\C:\\e\\f", ExactPath(L"C:\\d\\..\\e/f"));
    EXPECT_EQ(L"\\\\?\\UNC\\server\\share\\x.", ExactPath(L"\\\\server\\share\\x."));
    EXPECT_EQ(L"\\\\?\\D:\\x", ExactPath(L"\\\\?\\D:\\x"));
}
