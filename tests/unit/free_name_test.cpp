// The names a kept file takes beside another of its name.
#include <gtest/gtest.h>

#include "app/operations/free_name.h"

TEST(FreeNameTest, TheNumberGoesBeforeTheLastExtensionOrAtTheEnd) {
    struct Case {
        const wchar_t* name;
        int32_t number;
        const wchar_t* numbered;
    };
    const Case cases[] = {
        {L"IMG_1.JPG", 2, L"IMG_1 (2).JPG"},
        {L"IMG_1.JPG", 3, L"IMG_1 (3).JPG"},
        {L"a.tar.gz", 2, L"a.tar (2).gz"},
        {L"README", 2, L"README (2)"},
        {L"README", 9999, L"README (9999)"},
        {L".profile", 2, L".profile (2)"},
        {L"..x", 2, L". (2).x"},
        {L"trailing.", 2, L"trailing (2)."},
        {L"caf\u00e9 \U0001F600.mp3", 2, L"caf\u00e9 \U0001F600 (2).mp3"},
        {L"IMG_1.JPG", 1, L"IMG_1.JPG"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.numbered, NumberedName(c.name, c.number)) << c.name << " " << c.number;
}

TEST(FreeNameTest, APathKeepsItsFolderEvenWhenTheFolderHasADot) {
    EXPECT_EQ(L"D:\\photos.2026\\README (2)", NumberedPath(L"D:\\photos.2026\\README", 2));
    EXPECT_EQ(L"D:/a.b/c (4).d", NumberedPath(L"D:/a.b/c.d", 4));
    EXPECT_EQ(L"\\\\?\\D:\\x\\IMG (2).JPG", NumberedPath(L"\\\\?\\D:\\x\\IMG.JPG", 2));
    EXPECT_EQ(L"name (2)", NumberedPath(L"name", 2));
    EXPECT_EQ(L"IMG (2).JPG", NameOfPath(NumberedPath(L"D:\\x\\IMG.JPG", 2)));
}

// The walk to a free name, over names whose contents are given: each case names what lies
// under the numbers that are looked at (a missing number holds nothing).
TEST(FreeNameTest, TheWalkStopsAtTheFirstFreeNumberOrItsReasonAndEndsAtTheLastNumber) {
    constexpr NameLook kOther{ERROR_FILE_EXISTS}, kSame{ERROR_FILE_EXISTS, true},
        kDenied{ERROR_ACCESS_DENIED};
    struct Case {
        const char* what;
        NameClash clash;
        int32_t start;
        std::function<NameLook(int32_t)> look;
        bool succeeded;
        int32_t number;  // where the walk stopped
        DWORD error;
        const wchar_t* reason;
    };
    const auto takenBelow = [&](int32_t free) {
        return [=](int32_t number) { return number < free ? kOther : NameLook{}; };
    };
    const Case cases[] = {
        {"a free name", NameClash::kKeepBoth, 1, takenBelow(1), true, 1, ERROR_SUCCESS, L""},
        {"the next free", NameClash::kKeepBoth, 1, takenBelow(4), true, 4, ERROR_SUCCESS, L""},
        {"from a later number", NameClash::kKeepBoth, 5, takenBelow(1), true, 5, ERROR_SUCCESS,
         L""},
        {"not kept", NameClash::kFail, 1, takenBelow(4), false, 1, ERROR_FILE_EXISTS,
         kDifferentFileReason},
        {"the same file numbered", NameClash::kKeepBoth, 1,
         [&](int32_t number) { return number == 3 ? kSame : kOther; }, false, 3, ERROR_FILE_EXISTS,
         kSameFileReason},
        {"a look that fails", NameClash::kKeepBoth, 1,
         [&](int32_t number) { return number == 2 ? kDenied : kOther; }, false, 2,
         ERROR_ACCESS_DENIED, L""},
        {"the last number free", NameClash::kKeepBoth, 1, takenBelow(9999), true, 9999,
         ERROR_SUCCESS, L""},
        {"every number taken", NameClash::kKeepBoth, 1, takenBelow(100000), false, 9999,
         ERROR_FILE_EXISTS, kNoFreeNameReason},
    };
    for (const Case& c : cases) {
        int32_t number = c.start;
        const TransferResult result = FindFreeNumber(number, c.clash, c.look);
        EXPECT_EQ(c.succeeded, result.succeeded) << c.what;
        EXPECT_EQ(c.number, number) << c.what;
        EXPECT_EQ(c.error, result.error) << c.what;
        EXPECT_EQ(std::wstring(c.reason), result.reason) << c.what;
    }
}
