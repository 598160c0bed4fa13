// Texts, blocks and their conversions.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstring>
#include <ostream>
#include <string>
#include <vector>

#include "runtime/text.h"
#include "runtime/text_length.h"

namespace {

std::wstring WideOf(const TextBlock& block) {
    return std::wstring(block.WideView());
}

std::vector<uint8_t> BytesOf(const TextBlock& block) {
    return {block.Bytes(), block.Bytes() + block.ByteCount()};
}

std::vector<std::string> Pieces(const TextArray& array) {
    std::vector<std::string> pieces;
    for (int32_t i = 1; i <= array.Count(); ++i)
        pieces.emplace_back(array.At(i).View());
    return pieces;
}

using Strings = std::vector<std::string>;

}  // namespace

// Readable failure messages: texts as escaped bytes, blocks as hex.
static void PrintTo(const Text& text, std::ostream* out) {
    *out << (text.IsMissing() ? "missing " : "")
         << ::testing::PrintToString(std::string(text.View()));
}

static void PrintTo(const TextBlock& block, std::ostream* out) {
    *out << "block[" << block.ByteCount() << "]";
    for (int32_t i = 0; i < block.ByteCount(); ++i)
        *out << ' ' << std::hex << +block.Bytes()[i];
}

TEST(RuntimeConversion, Code936TextsRoundTripWithExactlyOneZeroUnitAndEmptyGivesEmpty) {
    // Also fails when the compiler writes narrow literals in another code page than 936.
    const TextBlock wide = ToUtf16(Text("复制成功 ok"));
    EXPECT_EQ(L"复制成功 ok", WideOf(wide));
    EXPECT_EQ(2 * (7 + 1), wide.ByteCount());
    EXPECT_EQ(Text("复制成功 ok"), FromUtf16(wide));
    EXPECT_EQ(Text("a?b"), FromUtf16(L"a\uD55Cb"));  // a Hangul syllable: the default character

    // The code page argument counts only when given.
    EXPECT_NE(L"中", WideOf(ToUtf16(Text("中"), CP_UTF8)));
    EXPECT_EQ(Text("\xE4\xB8\xAD"), FromUtf16(TextBlock::FromWide(L"中"), CP_UTF8));

    // A lone lead byte at the end keeps the terminator.
    const TextBlock cut = ToUtf16(Text("a\x81"));
    const int32_t units = cut.ByteCount() / 2;
    ASSERT_GE(units, 2);
    EXPECT_EQ(L'a', cut.Wide()[0]);
    EXPECT_EQ(0, cut.Wide()[units - 1]);
    EXPECT_EQ(units - 1, cut.WideLength());

    // Missing and empty texts convert to empty results.
    const std::vector<uint8_t> zeroUnit = {0, 0};
    EXPECT_EQ(zeroUnit, BytesOf(ToUtf16(Text())));
    EXPECT_EQ(Text(""), FromUtf16(TextBlock()));
    EXPECT_EQ(Text(""), FromUtf16(static_cast<const wchar_t*>(nullptr)));
}

TEST(RuntimeTextLength, BothScansStopAtATerminatorBeforeAnUnreadablePage) {
    SYSTEM_INFO info;
    GetSystemInfo(&info);
    const size_t page = info.dwPageSize;
    auto* memory = static_cast<char*>(
        VirtualAlloc(nullptr, 2 * page, MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE));
    ASSERT_NE(nullptr, memory);
    DWORD old;
    ASSERT_TRUE(VirtualProtect(memory + page, page, PAGE_NOACCESS, &old));

    const bool sse2 = ProcessorHasSse2();
    for (int32_t length = 0; length <= 70; ++length) {
        // The terminator is the last readable byte; every start alignment gets its turn.
        char* text = memory + page - 1 - length;
        for (int32_t i = 0; i < length; ++i)
            text[i] = static_cast<char>(i % 3 ? 'x' : 0xB8);
        text[length] = 0;
        EXPECT_EQ(length, TextLengthWords(text)) << length;
        if (sse2) {
            EXPECT_EQ(length, TextLengthVector(text)) << length;
        }
        EXPECT_EQ(length, TextLength(text)) << length;
    }
    for (int32_t start = 0; start < 16; ++start) {
        for (int32_t length = 0; length < 40; ++length) {
            char* text = memory + 64 + start;
            std::memset(text, 'y', 64);
            text[length] = 0;
            EXPECT_EQ(length, TextLengthWords(text));
            if (sse2) {
                EXPECT_EQ(length, TextLengthVector(text));
            }
        }
    }
    VirtualFree(memory, 0, MEM_RELEASE);
    EXPECT_EQ(0, TextLength(nullptr));
}

TEST(RuntimeTexts, CompareTextsByUnsignedBytesWithMissingAsEmpty) {
    EXPECT_EQ(0, CompareTexts(nullptr, ""));
    EXPECT_EQ(-1, CompareTexts(nullptr, "a"));
    EXPECT_EQ(1, CompareTexts("\x80", "a"));
}

TEST(RuntimeTexts, JoinLeftAndRight) {
    EXPECT_EQ(Text("复制成功"), JoinTexts({"复制", nullptr, "成功"}));
    EXPECT_FALSE(JoinTexts({nullptr, ""}).IsMissing());

    const TextBlock empty;
    EXPECT_TRUE(JoinBlocks({&empty, &empty}).IsMissing());
    const TextBlock a = BlockFromBytes("ab", 2), b = BlockFromBytes("c", 1);
    EXPECT_EQ(BlockFromBytes("abc", 3), JoinBlocks({&a, nullptr, &empty, &b}));

    EXPECT_EQ(Text("ab"), LeftOfText("abc", 2));
    EXPECT_TRUE(LeftOfText("abc", 0).IsMissing());
    EXPECT_EQ(Text("\xC6"), RightOfText("制", 1));  // a character may be cut

    EXPECT_EQ(BlockFromBytes("a", 1), LeftOfBlock(a, 1));
    EXPECT_EQ(BlockFromBytes("b", 1), RightOfBlock(a, 1));
    EXPECT_TRUE(LeftOfBlock(a, -1).IsMissing());
    EXPECT_EQ(Text("A"), CharacterText(0x141));
    EXPECT_TRUE(CharacterText(0x100).IsMissing());
}

TEST(RuntimeFindInText, MatchesStartOnlyAtCharacterStartsAndMayIgnoreCase) {
    // 亅 is 81 7C: its second byte is "|".
    EXPECT_EQ(-1, FindInText("亅", "|"));
    EXPECT_EQ(4, FindInText("a亅|", "|"));
    // A start inside a character moves on to the next character start.
    EXPECT_EQ(3, FindInText("亅|", "|", 2));
    EXPECT_EQ(4, FindInText("a|b|", "|", 3));
    EXPECT_EQ(-1, FindInText("a|b|", "|", 5));
    // Empty, missing and ignored case.
    EXPECT_EQ(1, FindInText("abc", ""));
    EXPECT_EQ(-1, FindInText("", ""));
    EXPECT_EQ(-1, FindInText(nullptr, "a"));
    EXPECT_EQ(-1, FindInText("abc", nullptr));
    EXPECT_EQ(-1, FindInText("ABC", "bc"));
    EXPECT_EQ(2, FindInText("ABC", "bc", std::nullopt, true));
    // 丄 (81 41) and 乤 (81 61) differ only by the case of an ASCII-looking second byte.
    EXPECT_EQ(-1, FindInText("丄", "乤", std::nullopt, true));
    EXPECT_EQ(1, FindInText("丄X", "丄x", std::nullopt, true));
}

TEST(RuntimeSplit, TextAndBlockPiecesBetweenSeparatorsUpToAMaximum) {
    const std::pair<Strings, TextArray> cases[] = {
        {{"a"}, SplitText("a|", "|")},
        {{"", "a"}, SplitText("|a", "|")},
        {{}, SplitText(nullptr)},
        {{"a", "b"}, SplitText("a,b")},
        {{"a", "c"}, SplitText("a<>c", "<>")},
        {{"a", "b"}, SplitText("a,b,c", ",", 2)},
        {{}, SplitText("a,b", ",", 0)},
        {{"a,b"}, SplitText("a,b", "")},
    };
    for (const auto& [expected, pieces] : cases)
        EXPECT_EQ(expected, Pieces(pieces));

    // Blocks split at a zero byte by default.
    const uint8_t bytes[] = {0x61, 0x00, 0x62, 0x00};
    const BlockArray pieces = SplitBlock(BlockFromBytes(bytes, 4));
    ASSERT_EQ(2, pieces.Count());
    EXPECT_EQ(BlockFromBytes("a", 1), pieces.At(1));
    EXPECT_EQ(BlockFromBytes("b", 1), pieces.At(2));

    const TextBlock data = BlockFromBytes("x--y----z", 9);
    const TextBlock dashes = BlockFromBytes("--", 2);
    const BlockArray split = SplitBlock(data, &dashes);
    ASSERT_EQ(4, split.Count());
    EXPECT_TRUE(split.At(3).IsMissing());  // between two separators
    EXPECT_EQ(BlockFromBytes("z", 1), split.At(4));
    EXPECT_EQ(2, SplitBlock(data, &dashes, 2).Count());

    const TextBlock none;
    EXPECT_EQ(1, SplitBlock(data, &none).Count());
    EXPECT_EQ(0, SplitBlock(TextBlock()).Count());
}

TEST(RuntimeList, AppendCopyResizeAndCheckedAccessInRange) {
    TextArray list;
    Text original("复制");
    list.Append(original);
    list.Append(Text("b"));
    original = Text("changed");
    TextArray copy = list;
    copy.At(1) = Text("x");
    EXPECT_EQ(Text("复制"), list.At(1));
    EXPECT_EQ(Text("x"), copy.At(1));
    EXPECT_EQ(Text("b"), list.At(list.Count()));

    IntegerArray numbers;
    numbers.Resize(3);
    EXPECT_EQ(0, numbers.At(3));
    numbers.At(2) = 7;
    numbers.Resize(2);
    EXPECT_EQ(2, numbers.Count());
    EXPECT_EQ(7, numbers.Data()[1]);
}
