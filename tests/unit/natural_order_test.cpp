#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <string>
#include <vector>

#include "app/files/natural_order.h"

namespace {

bool NaturallyBefore(const std::wstring& a, const std::wstring& b) {
    return NaturalKey(a) < NaturalKey(b);
}

// Every pair of neighbours in `names` is in order, and no later name comes before an earlier.
void ExpectInNaturalOrder(const std::vector<std::wstring>& names) {
    for (size_t i = 0; i < names.size(); ++i)
        for (size_t j = i + 1; j < names.size(); ++j) {
            EXPECT_TRUE(NaturallyBefore(names[i], names[j])) << names[i] << L" < " << names[j];
            EXPECT_FALSE(NaturallyBefore(names[j], names[i])) << names[j] << L" > " << names[i];
        }
}

}  // namespace

TEST(NaturalOrder, AFixedListOfNamesSortsIntoItsExpectedOrder) {
    const std::vector<std::wstring> expected = {
        L"",
        L"-1.jpg",  // '-' before the digits, as ordinally
        L"0",
        L"00",
        L"1",
        L"01",
        L"001",
        L"2",
        L"10",
        L"999999999999999999999999999999",    // 30 digits
        L"1000000000000000000000000000000",   // 10^30 in 31 digits
        L"01000000000000000000000000000000",  // and in 32
        L"a",
        L"A1",
        L"a1",
        L"a1b",
        L"a01",  // the run with fewer digits decides, whatever follows it
        L"a01a",
        L"a2",
        L"a10",
        L"a100000000000000000000000000000",  // 30 digits
        L"a100000000000000000000000000001",
        L"a999999999999999999999999999999",
        L"a1000000000000000000000000000000",
        L"IMG_2.jpg",
        L"IMG_10.jpg",
        L"img_10.JPG",
        L"img_10.jpg",
        L"Img_11.jpg",
        L"x1y2",
        L"x1y10",
        L"x2y1",
        L"z",
        L"\u00e9",  // outside A-Z: by the system's fold, after the ASCII letters
    };
    ExpectInNaturalOrder(expected);
    std::vector<std::wstring> shuffled(expected.rbegin(), expected.rend());
    std::rotate(shuffled.begin(), shuffled.begin() + 7, shuffled.end());
    std::sort(shuffled.begin(), shuffled.end(), NaturallyBefore);
    EXPECT_EQ(expected, shuffled);
}

TEST(NaturalOrder, CaseIsIgnoredAsTheOrdinalComparisonIgnoresItThenNamesTieOrdinally) {
    // Letters that differ only in case wait for the ordinal tie: "B" < "a" ordinally, but
    // without case "a" comes first.
    ExpectInNaturalOrder({L"a", L"B", L"b", L"c"});
    ExpectInNaturalOrder({L"ABC", L"AbC", L"abc"});
    ExpectInNaturalOrder({L"\u0391\u03b2", L"\u03b1\u0392", L"\u03b1\u03b2"});  // Greek
    EXPECT_EQ(NaturalKey(L"x").substr(0, 2), NaturalKey(L"X").substr(0, 2));
    EXPECT_NE(NaturalKey(L"x"), NaturalKey(L"X"));
    EXPECT_FALSE(NaturallyBefore(L"same", L"same"));
}

TEST(NaturalOrder, TheFoldIsTheOneOfTheSystemsOrdinalComparisonForEveryUnit) {
    for (uint32_t unit = 1; unit < 0x10000; ++unit) {
        const wchar_t original = static_cast<wchar_t>(unit);
        const wchar_t folded = FoldCaseOrdinal(original);
        ASSERT_EQ(CSTR_EQUAL, CompareStringOrdinal(&original, 1, &folded, 1, TRUE))
            << std::hex << unit;
        // The fold is an uppercase form: folding it again changes nothing.
        ASSERT_EQ(folded, FoldCaseOrdinal(folded)) << std::hex << unit;
    }
    EXPECT_EQ(L'A', FoldCaseOrdinal(L'a'));
    EXPECT_EQ(L'1', FoldCaseOrdinal(L'1'));
}

TEST(NaturalOrder, DigitsOutsideAsciiAndSurrogatesAreOrdinaryCharacters) {
    // Full-width digits are no run: "\uff12" (2) after "\uff11\uff10" (10) as characters.
    ExpectInNaturalOrder({L"\uff11\uff10", L"\uff12"});
    // Text around surrogate pairs keeps its order by code unit.
    ExpectInNaturalOrder({L"a\U0001F600 2", L"a\U0001F600 10", L"a\U0001F601 1"});
}
