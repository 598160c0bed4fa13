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
