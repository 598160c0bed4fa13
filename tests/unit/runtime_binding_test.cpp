// System functions bound on first call, and the memory operations.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstring>

#include "runtime/binding.h"
#include "runtime/heap.h"
#include "runtime/text.h"

// Stubs of this test only, so they are certainly unbound when it starts.
namespace TestFunctions {
ZEMO_SYSTEM_FUNCTION(lstrlenA, "kernel32", int WINAPI(LPCSTR));
ZEMO_SYSTEM_FUNCTION(MulDiv, "kernel32", int WINAPI(int, int, int));
}  // namespace TestFunctions

namespace {

FARPROC Direct(const char* dll, const char* name) {
    return GetProcAddress(GetModuleHandleA(dll), name);
}

}  // namespace

TEST(RuntimeBinding, FirstCallBindsOnceAndPassesArgumentsThrough) {
    ASSERT_FALSE(TestFunctions::lstrlenA.IsBound());
    ASSERT_FALSE(TestFunctions::MulDiv.IsBound());
    const int lookups = SystemFunctionLookups();

    EXPECT_EQ(3, TestFunctions::lstrlenA("abc"));
    EXPECT_TRUE(TestFunctions::lstrlenA.IsBound());
    EXPECT_EQ(lookups + 1, SystemFunctionLookups());
    EXPECT_EQ(5, TestFunctions::lstrlenA("abcde"));
    EXPECT_EQ(lookups + 1, SystemFunctionLookups());
    EXPECT_EQ(reinterpret_cast<void*>(Direct("kernel32", "lstrlenA")),
              reinterpret_cast<void*>(TestFunctions::lstrlenA.slot));

    EXPECT_EQ(MulDiv(-9, 10, 3), TestFunctions::MulDiv(-9, 10, 3));
    EXPECT_EQ(lookups + 2, SystemFunctionLookups());
}

TEST(RuntimeBinding, OrdinalsAndDecoratedNames) {
    // The first export of kernel32 with a three-digit ordinal.
    const HMODULE kernel32 = GetModuleHandleA("kernel32");
    int ordinal = 100;
    while (ordinal < 999 && !GetProcAddress(kernel32, MAKEINTRESOURCEA(ordinal)))
        ++ordinal;
    const FARPROC byNumber = GetProcAddress(kernel32, MAKEINTRESOURCEA(ordinal));
    ASSERT_NE(nullptr, byNumber);
    FARPROC slot = nullptr;
    char byOrdinal[16];
    wsprintfA(byOrdinal, "#%d", ordinal);
    EXPECT_EQ(byNumber, BindSystemFunction("kernel32", byOrdinal, &slot));
    EXPECT_EQ(byNumber, slot);

    slot = nullptr;
    BindSystemFunction("kernel32", "lstrlenW@@4", &slot);
    EXPECT_EQ(Direct("kernel32", "lstrlenW"), slot);
}

TEST(RuntimeBinding, LibrariesLoadFromTheSystemDirectoryOnly) {
    HMODULE module = LoadSystemLibrary("version.dll");
    ASSERT_NE(nullptr, module);
    char path[MAX_PATH], system[MAX_PATH];
    GetModuleFileNameA(module, path, MAX_PATH);
    const UINT length = GetSystemDirectoryA(system, MAX_PATH);
    EXPECT_EQ(0, _strnicmp(path, system, length)) << path;
    FreeLibrary(module);
    EXPECT_EQ(nullptr, LoadSystemLibrary("zemo_no_such_library.dll"));
}

TEST(RuntimeHeap, ReleaseIgnoresNullSmallValuesAndConstants) {
    static const char kConstant[] = "a constant text";
    EXPECT_TRUE(IsInProgramImage(kConstant));
    void* heapBlock = Allocate(8);
    EXPECT_FALSE(IsInProgramImage(heapBlock));
    Release(heapBlock);

    Release(nullptr);
    Release(reinterpret_cast<void*>(0xFFFF));
    Release(kConstant);
    EXPECT_TRUE(HeapValidate(RuntimeHeap(), 0, nullptr));

    // Copies of a constant block share it; none of them gives it back.
    TextBlock empty = TextBlock::EmptyWide();
    TextBlock copy = empty;
    EXPECT_EQ(empty.Header(), copy.Header());
    EXPECT_EQ(2, copy.ByteCount());
}
