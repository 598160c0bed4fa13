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

// The ordinal under which a module exports `name`, read from its export directory.
int OrdinalOf(HMODULE module, const char* name) {
    const auto* base = reinterpret_cast<const BYTE*>(module);
    const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
    const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
    const IMAGE_DATA_DIRECTORY& directory =
        nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_EXPORT];
    const auto* exports =
        reinterpret_cast<const IMAGE_EXPORT_DIRECTORY*>(base + directory.VirtualAddress);
    const auto* names = reinterpret_cast<const DWORD*>(base + exports->AddressOfNames);
    const auto* ordinals = reinterpret_cast<const WORD*>(base + exports->AddressOfNameOrdinals);
    for (DWORD i = 0; i < exports->NumberOfNames; ++i) {
        if (std::strcmp(reinterpret_cast<const char*>(base + names[i]), name) == 0)
            return static_cast<int>(ordinals[i] + exports->Base);
    }
    return 0;
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

    EXPECT_EQ(MulDiv(7, 300, 4), TestFunctions::MulDiv(7, 300, 4));
    EXPECT_EQ(MulDiv(-9, 10, 3), TestFunctions::MulDiv(-9, 10, 3));
    EXPECT_EQ(lookups + 2, SystemFunctionLookups());
}

TEST(RuntimeBinding, OrdinalsAndDecoratedNames) {
    const int ordinal = OrdinalOf(GetModuleHandleA("kernel32"), "GetTickCount");
    ASSERT_GT(ordinal, 0);
    FARPROC slot = nullptr;
    char byOrdinal[16];
    wsprintfA(byOrdinal, "#%d", ordinal);
    EXPECT_EQ(Direct("kernel32", "GetTickCount"), BindSystemFunction("kernel32", byOrdinal, &slot));
    EXPECT_EQ(Direct("kernel32", "GetTickCount"), slot);

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
    Release(reinterpret_cast<void*>(1));
    Release(reinterpret_cast<void*>(0xFFFF));
    Release(kConstant);
    Release(TextBlock::EmptyWide().Header());
    EXPECT_TRUE(HeapValidate(RuntimeHeap(), 0, nullptr));

    // Copies of a constant block share it; none of them gives it back.
    TextBlock empty = TextBlock::EmptyWide();
    TextBlock copy = empty;
    EXPECT_EQ(empty.Header(), copy.Header());
    EXPECT_EQ(2, copy.ByteCount());
}
