#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "app/rule_file.h"
#include "app/settings.h"
#include "app/unique_file.h"
#include "tests/support/process.h"

namespace {

const std::string kSettings = std::string("[") + kSettingsSection + "]";
const std::string kRules = std::string("[") + kRuleSection + "]";

// A config.ini as an earlier version, or a user, left it, and what a new setting makes of it.
struct EarlierFile {
    const char* what;
    std::string bytes;
    std::string withWindow;  // after 窗口=1,2,3,4
};

}  // namespace

// A setting at its default writes nothing where the file lacks it; a new key goes in as one
// line, in the settings section, and every other byte of the file stays where it was.
TEST(SettingsWriter, EarlierFilesKeepEveryByteAndADefaultOfAMissingKeyWritesNothing) {
    const std::string rule = "A=复制文件|D:\\a";
    const std::vector<EarlierFile> files = {
        {"empty", "", kSettings + "\r\n窗口=1,2,3,4\r\n"},
        {"rules, CRLF", kRules + "\r\n" + rule + "\r\n",
         kRules + "\r\n" + rule + "\r\n" + kSettings + "\r\n窗口=1,2,3,4\r\n"},
        {"rules, LF, no final line break", kRules + "\n" + rule,
         kRules + "\n" + rule + "\r\n" + kSettings + "\r\n窗口=1,2,3,4\r\n"},
        {"comments, blank lines and other sections",
         "; 注释\r\n[其他]\r\nx = 1\r\n\r\n" + kRules + "\r\n; rules\r\n" + rule +
             "\r\n\r\n[后面]\r\ny=2",
         "; 注释\r\n[其他]\r\nx = 1\r\n\r\n" + kRules + "\r\n; rules\r\n" + rule +
             "\r\n\r\n[后面]\r\ny=2\r\n" + kSettings + "\r\n窗口=1,2,3,4\r\n"},
        {"settings with unknown keys, a comment and a blank line",
         kSettings + "\n未知=abc\n; 注释\n\n  Other Key = x  \n" + kRules + "\n" + rule + "\n",
         kSettings + "\n未知=abc\n; 注释\n\n  Other Key = x  \n窗口=1,2,3,4\r\n" + kRules + "\n" +
             rule + "\n"},
        {"a settings section without a final line break", "[ 设置 ]\r\nx=1",
         "[ 设置 ]\r\nx=1\r\n窗口=1,2,3,4\r\n"},
        {"settings only in a commented section name", ";" + kSettings + "\r\n",
         ";" + kSettings + "\r\n" + kSettings + "\r\n窗口=1,2,3,4\r\n"},
    };
    for (const EarlierFile& file : files) {
        EXPECT_EQ(std::nullopt, WithSetting(file.bytes, "窗口", "10,20,800,600", true))
            << file.what;
        EXPECT_EQ(file.withWindow, WithSetting(file.bytes, "窗口", "1,2,3,4", false)) << file.what;
        // The rules read as they did.
        const RuleSection before = ParseRuleSection(file.bytes);
        const RuleSection after = ParseRuleSection(file.withWindow);
        ASSERT_EQ(before.entries.size(), after.entries.size()) << file.what;
        for (size_t i = 0; i < before.entries.size(); ++i)
            EXPECT_EQ(before.entries[i].line, after.entries[i].line) << file.what;
    }
}

// The key's first line in the settings section is found as the profile functions find it
// (trimmed, without case) and keeps everything up to its value, even for the default.
TEST(SettingsWriter, AKeyInTheFileIsRewrittenInPlaceAtItsFirstOccurrence) {
    const std::string tail = "\r\n" + kRules + "\r\n最大化=1\r\n";
    EXPECT_EQ(
        kSettings + "\r\n  最大化 = 0\r\n最大化=1" + tail,
        WithSetting(kSettings + "\r\n  最大化 = 1  \r\n最大化=1" + tail, "最大化", "0", true));
    EXPECT_EQ(kSettings + "\r\nWIDTH=7\r\n",
              WithSetting(kSettings + "\r\nWIDTH=5\r\n", "Width", "7", false));
    EXPECT_EQ(kSettings + "\r\n路径=D:\\a=c",
              WithSetting(kSettings + "\r\n路径=D:\\a=b", "路径", "D:\\a=c", false));
    // Writing the value the line holds changes nothing.
    EXPECT_EQ(std::nullopt, WithSetting(kSettings + "\r\nx = 5 \r\n", "x", "5", false));
    // Only the first settings section counts; a comment, a line without "=", and a key of
    // another section are not the key.
    EXPECT_EQ(kSettings + "\r\nx=1\r\n" + kSettings + "\r\nx=1\r\n",
              WithSetting(kSettings + "\r\nx=2\r\n" + kSettings + "\r\nx=1\r\n", "x", "1", false));
    EXPECT_EQ(kSettings + "\r\n;x=1\r\nx\r\nx=2\r\n",
              WithSetting(kSettings + "\r\n;x=1\r\nx\r\n", "x", "2", false));
    // 81 41 and 81 61 are two characters whose second bytes differ only as "A" and "a".
    EXPECT_EQ(kSettings + "\r\n\x81\x61=1\r\n\x81\x41=2\r\n",
              WithSetting(kSettings + "\r\n\x81\x61=1\r\n", "\x81\x41", "2", false));
}

// Settings read once, kept in memory, written one key at a time into the file as it is now.
TEST(Settings, TypedValuesReadBackAsWrittenAndAnythingElseIsTheDefault) {
    TempDirectory dir;
    const std::wstring path = dir / L"config.ini";
    const std::string earlier = kRules + "\r\nA=复制文件|D:\\a\r\n" + kSettings +
                                "\r\n开=1\r\n数 = -12 \r\n文本=照片 二\r\n窗口=10, 20,800,600\r\n"
                                "坏数=12abc\r\n坏框=1,2,3\r\n";
    ASSERT_TRUE(WriteFileBytes(path, earlier));
    Settings settings;
    settings.Load(path);
    const Setting<bool> on{"开", false}, off{"关", false};
    const Setting<int32_t> number{"数", 7}, badNumber{"坏数", 7};
    const Setting<std::wstring> text{"文本", L""};
    const Setting<RECT> window{"窗口", RECT{}}, badWindow{"坏框", RECT{5, 6, 7, 8}};
    EXPECT_TRUE(settings.Get(on));
    EXPECT_FALSE(settings.Get(off));
    EXPECT_EQ(-12, settings.Get(number));
    EXPECT_EQ(7, settings.Get(badNumber));
    EXPECT_EQ(L"照片 二", settings.Get(text));
    EXPECT_TRUE(SameSetting(RECT{10, 20, 800, 600}, settings.Get(window)));
    EXPECT_TRUE(SameSetting(badWindow.defaultValue, settings.Get(badWindow)));

    // Someone adds a line while the program runs: it stays.
    ASSERT_TRUE(WriteFileBytes(path, earlier + "手写=1\r\n"));
    EXPECT_EQ(0u, settings.Set(off, true));
    EXPECT_EQ(0u, settings.Set(number, 3));
    EXPECT_EQ(0u, settings.Set(text, L"D:\\照片"));
    EXPECT_EQ(0u, settings.Set(window, RECT{-1920, 0, 0, 1080}));
    const std::string written = kRules + "\r\nA=复制文件|D:\\a\r\n" + kSettings +
                                "\r\n开=1\r\n数 = 3\r\n文本=D:\\照片\r\n窗口=-1920,0,0,1080\r\n"
                                "坏数=12abc\r\n坏框=1,2,3\r\n手写=1\r\n关=1\r\n";
    EXPECT_EQ(written, ReadFileBytes(path));
    Settings again;
    again.Load(path);
    EXPECT_TRUE(again.Get(off));
    EXPECT_EQ(3, again.Get(number));
    EXPECT_EQ(L"D:\\照片", again.Get(text));
    EXPECT_TRUE(SameSetting(RECT{-1920, 0, 0, 1080}, again.Get(window)));

    // Texts that would not read back the same are refused, and nothing is written.
    for (const wchar_t* refused : {L"사진", L" x", L"x\t", L"a\r\nb=c"}) {
        EXPECT_EQ(static_cast<DWORD>(ERROR_INVALID_DATA), settings.Set(text, refused)) << refused;
        EXPECT_EQ(L"D:\\照片", settings.Get(text)) << refused;
    }
    EXPECT_EQ(written, ReadFileBytes(path));
}

TEST(Settings, AWriteThatFailsKeepsTheOldValueAndTheFile) {
    TempDirectory dir;
    const std::wstring path = dir / L"config.ini";
    const std::string bytes = kSettings + "\r\n数=1\r\n";
    ASSERT_TRUE(WriteFileBytes(path, bytes));
    Settings settings;
    settings.Load(path);
    const Setting<int32_t> number{"数", 0};
    {
        // Held open without sharing, as another program may.
        const HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                                        FILE_ATTRIBUTE_NORMAL, nullptr);
        ASSERT_NE(INVALID_HANDLE_VALUE, file);
        const UniqueFile held(file);
        EXPECT_EQ(static_cast<DWORD>(ERROR_SHARING_VIOLATION), settings.Set(number, 2));
    }
    EXPECT_EQ(1, settings.Get(number));
    EXPECT_EQ(bytes, ReadFileBytes(path));
    EXPECT_FALSE(FileExists(path + L".new"));

    // No config.ini at all: the defaults, and a default written creates no file.
    Settings none;
    none.Load(dir / L"none.ini");
    EXPECT_EQ(0, none.Get(number));
    EXPECT_EQ(0u, none.Set(number, 0));
    EXPECT_FALSE(FileExists(dir / L"none.ini"));
}
