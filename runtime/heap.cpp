#include "runtime/heap.h"

#include "runtime/errors.h"

namespace {

HANDLE g_heap = nullptr;

}  // namespace

void ReportOutOfMemory() {
    ShowSystemBox("内存不足", "error", MB_ICONERROR);
    ExitProgram(0);
}

HANDLE RuntimeHeap() {
    if (!g_heap)
        g_heap = GetProcessHeap();
    return g_heap;
}

void SetRuntimeHeap(HANDLE heap) {
    g_heap = heap;
}

void* Allocate(size_t byteCount) {
    void* block = HeapAlloc(RuntimeHeap(), HEAP_ZERO_MEMORY, byteCount);
    if (!block)
        ReportOutOfMemory();
    return block;
}

void* AllocateUninitialised(size_t byteCount) {
    void* block = HeapAlloc(RuntimeHeap(), 0, byteCount);
    if (!block)
        ReportOutOfMemory();
    return block;
}

void* Reallocate(void* block, size_t byteCount) {
    void* result = block ? HeapReAlloc(RuntimeHeap(), 0, block, byteCount)
                         : HeapAlloc(RuntimeHeap(), HEAP_ZERO_MEMORY, byteCount);
    if (!result)
        ReportOutOfMemory();
    return result;
}

bool IsInProgramImage(const void* address) {
    // The runtime is linked into the executable, so its image is the process's main module.
    static const BYTE* const base = reinterpret_cast<const BYTE*>(GetModuleHandleW(nullptr));
    const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
    const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
    const auto* p = static_cast<const BYTE*>(address);
    return p >= base && p <= base + nt->OptionalHeader.SizeOfImage;
}

void Release(const void* block) {
    if (reinterpret_cast<uintptr_t>(block) <= 0xFFFF)
        return;
    if (IsInProgramImage(block))
        return;
    // Anything else must be a live block of the heap: a block freed before, or memory
    // that never came from it, is a fault to find, not one to pass over.
    void* heapBlock = const_cast<void*>(block);
    if (!HeapValidate(RuntimeHeap(), 0, heapBlock) || !HeapFree(RuntimeHeap(), 0, heapBlock)) {
        OutputDebugStringW(L"zemo: release of a block that is not on the heap\n");
        FatalError(kInvalidRelease);
    }
}
