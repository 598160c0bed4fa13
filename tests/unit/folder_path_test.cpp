#include <gtest/gtest.h>

#include <string>

#include "app/folder_path.h"

TEST(FolderPathTest, TheFirstArgumentKeepsItsBackslashesAndEndsAtItsQuoteOrABlank) {
    const struct {
        const wchar_t* commandLine;
        const wchar_t* argument;
    } cases[] = {
        {LR"("C:\Program Files\zemo\zemo.exe" "E:\")", LR"(E:\)"},
        {LR"("zemo.exe" "E:\" "F:\")", LR"(E:\)"},
        {LR"("zemo.exe" "D:\a b\\")", LR"(D:\a b\\)"},
        {LR"(zemo.exe C:\)", LR"(C:\)"},
        {L"zemo.exe \t D:\\photos\\2026  more", LR"(D:\photos\2026)"},
        {LR"("C:\my apps\zemo.exe"D:\x)", LR"(D:\x)"},
        {LR"("C:\my apps\zemo.exe")", L""},
        {L"zemo.exe   ", L""},
        {L"", L""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.argument, FirstCommandLineArgument(c.commandLine)) << c.commandLine;
}

TEST(FolderPathTest, EachPartLosesItsTrailingBlanksAndDotsAndTheRootStays) {
    const struct {
        const wchar_t* path;
        const wchar_t* normalized;
    } cases[] = {
        {LR"(D:\photos \)", LR"(D:\photos)"},
        {LR"(D:\photos. . \2026 .)", LR"(D:\photos\2026)"},
        {LR"(D:\a b\\)", LR"(D:\a b)"},
        {LR"(C:\)", LR"(C:\)"},
        {LR"(C:\\)", LR"(C:\)"},
        {L"C:", L"C:"},
        {L"C:/x//y/", LR"(C:\x\y)"},
        {LR"(C:\a\..\b\.)", LR"(C:\a\..\b\.)"},
        {LR"(\\server\share \dir.\)", LR"(\\server\share\dir)"},
        {LR"(\photos )", LR"(\photos)"},
        {L"photos ", L"photos"},
        {LR"(\\?\C:\a \)", LR"(\\?\C:\a \)"},
        {L"  ", L""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.normalized, NormalizedFolderPath(c.path)) << c.path;
}
