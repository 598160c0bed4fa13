// The runtime's fatal paths as a user meets them: a box with the right title and text,
// and after it is answered the program ends with exit code 0, having run its exit
// callbacks. Runs under the Chinese and the C locale alike.
#include <gtest/gtest.h>

#include <string>

#include "tests/support/desktop.h"
#include "tests/support/process.h"

namespace {

struct FatalPath {
    const wchar_t* mode;
    const wchar_t* title;
    const wchar_t* text;
};

const FatalPath kFatalPaths[] = {
    {L"index-above", L"error",
     L"program internal error number is 1. \r\n数组成员引用下标超出定义范围\r\n错误位置:12,34"},
    {L"index-below", L"error",
     L"program internal error number is 4. \r\n数组成员引用下标必须大于等于1\r\n"},
    {L"memory", L"error", L"内存不足"},
    {L"missing-dll", L"DLL ERROR", L"同目录下无法找到DLL文件:\"zemo_missing.dll\".请与作者联系."},
    {L"missing-function", L"DLL ERROR",
     L"无法定位DLL文件:\"kernel32\"当中的\"ZemoNoSuchFunction\"函数."},
    {L"unknown-kind", L"error", L"program internal error number is 100. \r\n\r\n"},
    {L"new-memory", L"error", L"内存不足"},
    {L"double-release", L"error", L"program internal error number is 102. \r\n\r\n"},
    {L"window-exception", L"error", L"program internal error number is 101. \r\n\r\n"},
    {L"control-exception", L"error", L"program internal error number is 101. \r\n\r\n"},
};

class FatalExitAnyCodePage : public ::testing::TestWithParam<FatalPath> {};

}  // namespace

TEST_P(FatalExitAnyCodePage, ShowsItsBoxThenEndsWithExitCodeZero) {
    const FatalPath& path = GetParam();
    TempDirectory directory;
    const std::wstring marker = directory / L"exit-callbacks-ran";
    TestProcess program(ProgramPath(L"fatal_paths.exe"),
                        std::wstring(path.mode) + L" \"" + marker + L"\"");
    ASSERT_TRUE(program.Started());

    const MessageBoxInfo box = WaitForMessageBox(program.Id());
    ASSERT_NE(nullptr, box.window) << "no box appeared";
    EXPECT_EQ(path.title, box.title);
    EXPECT_EQ(path.text, box.text);
    EXPECT_TRUE(program.Running());
    EXPECT_FALSE(FileExists(marker));  // nothing ends before the box is answered

    ASSERT_TRUE(AnswerMessageBox(box.window, IDOK));
    EXPECT_EQ(std::optional<DWORD>(0), program.WaitForExit());
    EXPECT_TRUE(FileExists(marker));
}

INSTANTIATE_TEST_SUITE_P(Runtime, FatalExitAnyCodePage, ::testing::ValuesIn(kFatalPaths),
                         [](const ::testing::TestParamInfo<FatalPath>& info) {
                             std::string name;
                             for (const wchar_t* c = info.param.mode; *c; ++c)
                                 if (*c != L'-')
                                     name += static_cast<char>(*c);
                             return name;
                         });
