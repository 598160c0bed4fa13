#include "runtime/errors.h"

#include <objbase.h>

namespace {

constexpr int kMaxExitCallbacks = 8;
ExitCallback g_exitCallbacks[kMaxExitCallbacks] = {};
int g_exitCallbackCount = 0;

const char* const kDescriptions[] = {
    "数组成员引用下标超出定义范围",
    "未得到所需要的数值型数据",
    "引用数组成员时维数不为1且不等于该数组目前所具有的维数",
    "数组成员引用下标必须大于等于1",
    "数据或数组类型不匹配",
    "调用DLL命令后发现堆栈错误，通常是DLL参数数目不正确",
    "子语句参数未返回数据或者返回了非系统基本类型或数组型数据",
    "被比较数据只能使用等于或不等于命令比较",
    "“多项选择”命令的索引值参数小于零或超出了所提供参数表范围",
    "“重定义数组”命令的数组维定义参数值必须大于零或单维时大于等于零",
    "所提供参数的数据类型不符合要求",
};

// Converts a code page 936 text into a fixed buffer; longer texts are cut.
template <int N>
void ToWide936(const char* text, wchar_t (&out)[N]) {
    out[0] = 0;
    int written = MultiByteToWideChar(936, 0, text, -1, out, N);
    if (written == 0)
        out[N - 1] = 0;
}

}  // namespace

const char* FatalErrorDescription(int number) {
    if (number < 1 || number > 11)
        return "";
    return kDescriptions[number - 1];
}

int ShowSystemBox(const char* text, const char* title, UINT style) {
    wchar_t wideText[1024];
    wchar_t wideTitle[64];
    ToWide936(text, wideText);
    ToWide936(title, wideTitle);
    return MessageBoxW(nullptr, wideText, wideTitle, style);
}

void RegisterExitCallback(ExitCallback callback) {
    if (g_exitCallbackCount < kMaxExitCallbacks)
        g_exitCallbacks[g_exitCallbackCount++] = callback;
}

void ExitProgram(int code) {
    // Callbacks registered while the others run (none do so today) are not run.
    const int count = g_exitCallbackCount;
    g_exitCallbackCount = 0;
    for (int i = 0; i < count; ++i)
        g_exitCallbacks[i]();
    CoUninitialize();
    ExitProcess(static_cast<UINT>(code));
}

void FatalError(int number) {
    char text[256];
    wsprintfA(text, "program internal error number is %d. \r\n%s\r\n", number,
              FatalErrorDescription(number));
    ShowSystemBox(text, "error", MB_ICONERROR);
    ExitProgram(0);
}

void FatalError(int number, ErrorLocation where) {
    char text[256];
    wsprintfA(text, "program internal error number is %d. \r\n%s\r\n错误位置:%d,%d", number,
              FatalErrorDescription(number), where.routine, where.position);
    ShowSystemBox(text, "error", MB_ICONERROR);
    ExitProgram(0);
}
