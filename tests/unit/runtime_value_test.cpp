// Values: their text and integer forms, and reading them out of blocks.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <ostream>
#include <string>

#include "runtime/bits.h"
#include "runtime/value.h"

static void PrintTo(const Text& text, std::ostream* out) {
    *out << (text.IsMissing() ? "missing " : "")
         << ::testing::PrintToString(std::string(text.View()));
}

namespace {

Text DateText(double days) {
    return ValueToText(Value(DateTime{days}));
}

double At(int hours, int minutes, int seconds) {
    return (hours * 3600 + minutes * 60 + seconds) / 86400.0;
}

}  // namespace

TEST(RuntimeValueToText, DoublesAndFloatsLoseTrailingZerosAndABarePoint) {
    EXPECT_EQ(Text("1.5"), ValueToText(1.5));
    EXPECT_EQ(Text("2"), ValueToText(2.0));
    EXPECT_EQ(Text("0.000001"), ValueToText(0.0000006));  // rounded at the sixth decimal
    EXPECT_EQ(Text("1.1"), ValueToText(1.1f));
    EXPECT_EQ(Text("100000000000000000000"), ValueToText(1e20));
}

TEST(RuntimeValueToText, DateTimesShowOnlyTheTimePartsThatAreSet) {
    EXPECT_EQ(Text("2023年3月15日"), DateText(45000));
    EXPECT_EQ(Text("2023年3月15日13时"), DateText(45000 + At(13, 0, 0)));
    EXPECT_EQ(Text("2023年3月15日13时4分"), DateText(45000 + At(13, 4, 0)));
    EXPECT_EQ(Text("2023年3月15日13时0分5秒"), DateText(45000 + At(13, 0, 5)));
    EXPECT_EQ(Text("1899年12月29日6时"), DateText(-1.25));
    EXPECT_EQ(Text("1900年2月28日"), DateText(60));
    EXPECT_EQ(Text("1900年3月1日"), DateText(61));  // 1900 has no 29 February
    EXPECT_EQ(Text("100年1月1日"), DateText(-657434));
    // Rounded to the next midnight: the next day, not a 24th hour.
    EXPECT_EQ(Text("2023年3月16日"), DateText(45000 + (86400 - 0.2) / 86400));
}

TEST(RuntimeValueToText, EveryOtherKind) {
    EXPECT_EQ(Text("真"), ValueToText(true));
    EXPECT_EQ(Text("假"), ValueToText(false));
    EXPECT_EQ(Text("复制"), ValueToText("复制"));
    EXPECT_TRUE(ValueToText("").IsMissing());
    EXPECT_EQ(Text("ab"), ValueToText(BlockFromBytes("ab\0cd", 5)));
    EXPECT_EQ(Text("200"), ValueToText(uint8_t{200}));
    EXPECT_EQ(Text("-5"), ValueToText(int16_t{-5}));
    EXPECT_EQ(Text("-9000000000"), ValueToText(int64_t{-9000000000}));

    IntegerArray array;
    array.Append(0x64636261);  // "abcd"
    array.Append(0x65);
    EXPECT_EQ(Text("abcde"), ValueToText(array));
}

TEST(RuntimeValueToInteger, TextsWithFullWidthDigitsSaturateAndNumbersKeepTheirLow32Bits) {
    EXPECT_EQ(123, ValueToInteger("１２３"));
    EXPECT_EQ(-42, ValueToInteger("－４２"));
    EXPECT_EQ(42, ValueToInteger("　 42abc"));
    EXPECT_EQ(0, ValueToInteger("／12"));
    EXPECT_EQ(std::numeric_limits<int32_t>::max(), ValueToInteger("99999999999"));
    EXPECT_EQ(std::numeric_limits<int32_t>::min(), ValueToInteger("-99999999999"));
    // Numbers truncate and keep their low 32 bits.
    EXPECT_EQ(3, ValueToInteger(3.9));
    EXPECT_EQ(-3, ValueToInteger(-3.9f));
    EXPECT_EQ(1, ValueToInteger(4294967297.0));
    EXPECT_EQ(0, ValueToInteger(std::nan("")));
    EXPECT_EQ(5, ValueToInteger(int64_t{0x100000005}));
    EXPECT_EQ(-2, ValueToInteger(int16_t{-2}));
    EXPECT_EQ(45000, ValueToInteger(DateTime{45000.75}));
    EXPECT_EQ(0, ValueToInteger(BlockFromBytes("12", 2)));
}

TEST(RuntimeReadValueFromBlock, ReadsInSequenceAndEndsAtMinusOneAlsoOutsideOrPastTheBlock) {
    unsigned char bytes[4 + 2 + 3 + 8];
    const int32_t seven = 7;
    const int16_t minusTwo = -2;
    const double half = 0.5;
    std::memcpy(bytes, &seven, 4);
    std::memcpy(bytes + 4, &minusTwo, 2);
    std::memcpy(bytes + 6, "ab", 3);
    std::memcpy(bytes + 9, &half, 8);
    const TextBlock block = BlockFromBytes(bytes, sizeof bytes);

    int32_t position = 1;
    EXPECT_EQ(7, ReadValueFromBlock(block, kBlockInteger, position).As<int32_t>());
    EXPECT_EQ(5, position);
    EXPECT_EQ(-2, ReadValueFromBlock(block, kBlockShort, position).As<int16_t>());
    EXPECT_EQ(Text("ab"), ReadValueFromBlock(block, kBlockText, position).As<Text>());
    EXPECT_EQ(10, position);
    EXPECT_EQ(0.5, ReadValueFromBlock(block, kBlockDouble, position).As<double>());
    EXPECT_EQ(-1, position);

    EXPECT_EQ(0x61, ReadValueFromBlock(block, kBlockByte, 7).As<uint8_t>());
    EXPECT_TRUE(ReadValueFromBlock(block, kBlockBoolean).As<bool>());
    EXPECT_EQ(0.5, ReadValueFromBlock(block, kBlockDateTime, 10).As<DateTime>().days);

    // Outside the block and short reads.
    const TextBlock pair = BlockFromBytes("\x01\x02", 2);
    position = 3;
    EXPECT_EQ(0, ReadValueFromBlock(pair, kBlockInteger, position).As<int32_t>());
    EXPECT_EQ(-1, position);
    position = 0;
    EXPECT_TRUE(ReadValueFromBlock(pair, kBlockText, position).As<Text>().IsMissing());
    EXPECT_EQ(-1, position);

    position = 1;  // two bytes of four: the rest reads as zero
    EXPECT_EQ(0x0201, ReadValueFromBlock(pair, kBlockInteger, position).As<int32_t>());
    EXPECT_EQ(-1, position);
    position = 1;  // a text without its zero byte ends with the block
    EXPECT_EQ(Text("\x01\x02"), ReadValueFromBlock(pair, kBlockText, position).As<Text>());
    EXPECT_EQ(-1, position);
}

TEST(RuntimeBits, Operations) {
    EXPECT_EQ(0x0F, BitAnd({0xFF, 0x3F, 0x0F}));
    EXPECT_EQ(0x13, BitOr({0x01, 0x02, 0x10}));
    EXPECT_EQ(-1, BitNot(0));
    EXPECT_EQ(2, ShiftLeft(1, 33));
    EXPECT_EQ(-2, ShiftRight(-8, 34));
    EXPECT_EQ(static_cast<int32_t>(0xFFFF1234), MakeLong(0xABCD1234, -1));
}
