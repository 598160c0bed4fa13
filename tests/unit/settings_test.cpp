#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "app/rules/rule_file.h"
#include "app/rules/settings.h"
#include "tests/support/process.h"

namespace {

const std::string kSettings = std::string("[") + kSettingsSection + "]";
const std::string kRules = std::string("[") + kRuleSection + "]";

}  // namespace

// A setting at its default writes nothing where the file lacks it; a new key goes in as one
// line, in the settings section, and every other byte of the file stays where it was.
TEST(SettingsWriter, EarlierFilesKeepEveryByteAndADefaultOfAMissingKeyWritesNothing) {
    const std::string rule = "A=复制文件|D:\\a", added = kSettings + "\r\n窗口=1,2,3,4\r\n";
    // Each file as an earlier version, or a user, left it, and the part the new key changes.
    const std::vector<std::pair<std::string, std::string>> files = {
        {"", added},
        {kRules + "\n" + rule, kRules + "\n" + rule + "\r\n" + added},
        {"; 注释\r\n[其他]\r\nx = 1\r\n\r\n" + kRules + "\r\n; c\r\n" + rule + "\r\n\r\n[后面]\r\n",
         "; 注释\r\n[其他]\r\nx = 1\r\n\r\n" + kRules + "\r\n; c\r\n" + rule +
             "\r\n\r\n[后面]\r\n" + added},
        {kSettings + "\n未知=abc\n; 注释\n\n  Other = x  \n" + kRules + "\n" + rule,
         kSettings + "\n未知=abc\n; 注释\n\n  Other = x  \n窗口=1,2,3,4\r\n" + kRules + "\n" +
             rule},
        {"[ 设置 ]\r\nx=1", "[ 设置 ]\r\nx=1\r\n窗口=1,2,3,4\r\n"},
    };
    for (const auto& [before, after] : files) {
        EXPECT_EQ(std::nullopt, WithSetting(before, "窗口", "10,20,800,600", true)) << before;
        EXPECT_EQ(after, WithSetting(before, "窗口", "1,2,3,4", false)) << before;
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

    // Texts that would not read back the same are refused, and nothing is written.
    for (const wchar_t* refused : {L"사진", L" x", L"x\t", L"a\r\nb=c"}) {
        EXPECT_EQ(static_cast<DWORD>(ERROR_INVALID_DATA), settings.Set(text, refused)) << refused;
        EXPECT_EQ(L"D:\\照片", settings.Get(text)) << refused;
    }
    EXPECT_EQ(written, ReadFileBytes(path));

    // No config.ini: the defaults, and a default written makes no file.
    Settings none;
    none.Load(dir / L"none.ini");
    EXPECT_EQ(7, none.Get(number));
    EXPECT_EQ(0u, none.Set(number, 7));
    EXPECT_FALSE(FileExists(dir / L"none.ini"));
}
