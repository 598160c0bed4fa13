#include <gtest/gtest.h>

#include <span>
#include <string>

#include "app/files/folder_path.h"

namespace {

struct Case {
    const wchar_t* given;
    const wchar_t* expected;
};

void ExpectEach(std::wstring (*function)(std::wstring_view), std::span<const Case> cases) {
    for (const Case& c : cases)
        EXPECT_EQ(c.expected, function(c.given)) << c.given;
}

}  // namespace

TEST(FolderPathTest, TheFirstArgumentKeepsItsBackslashesAndEndsAtItsQuoteOrABlank) {
    const Case commandLines[] = {
        {LR"("C:\Program Files\zemo\zemo.exe" "E:\")", LR"(E:\)"},
        {LR"("zemo.exe" "E:\" "F:\")", LR"(E:\)"},
        {LR"("zemo.exe" "D:\a b\\")", LR"(D:\a b\\)"},
        {LR"(zemo.exe C:\)", LR"(C:\)"},
        {L"zemo.exe \t D:\\photos\\2026  more", LR"(D:\photos\2026)"},
        {LR"("C:\my apps\zemo.exe")", L""},
        {L"", L""},
    };
    ExpectEach(&FirstCommandLineArgument, commandLines);
}

TEST(FolderPathTest, EachPartLosesItsTrailingBlanksAndDotsAndTheRootStays) {
    const Case paths[] = {
        {LR"(D:\photos \)", LR"(D:\photos)"},
        {LR"(D:\photos. . \2026 .)", LR"(D:\photos\2026)"},
        {LR"(D:\a b\\)", LR"(D:\a b)"},
        {LR"(C:\\)", LR"(C:\)"},
        {L"C:", L"C:"},
        {L"C:/x//y/", LR"(C:\x\y)"},
        {LR"(C:\a\..\b\.)", LR"(C:\a\..\b\.)"},
        {LR"(\\server\share \dir.\)", LR"(\\server\share\dir)"},
        {LR"(\\?\C:\a \)", LR"(\\?\C:\a \)"},
        {L"  ", L""},
    };
    ExpectEach(&NormalizedFolderPath, paths);
}
