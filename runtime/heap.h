// Memory blocks on the process heap. An allocation that fails shows "内存不足"
// and ends the program, so the allocating operations never return without a block.
#pragma once

#include <windows.h>
#include <cstddef>

// The process heap, recorded at start-up and fetched again when still unset.
HANDLE RuntimeHeap();
void SetRuntimeHeap(HANDLE heap);

void* Allocate(size_t byteCount);                 // zero-filled
void* AllocateUninitialised(size_t byteCount);    // contents undefined
void* Reallocate(void* block, size_t byteCount);  // added bytes not cleared; no block: zero-filled
// Gives a block back. Passes over null, small integers and addresses inside the program
// image (its constant texts); anything else that is not a live block of the heap (a
// block released twice, for example) ends the program with the fatal-error box.
void Release(const void* block);

// Shows "内存不足" and ends the program; for memory that does not come from the heap.
[[noreturn]] void ReportOutOfMemory();

// True for addresses inside the loaded program image.
bool IsInProgramImage(const void* address);

// Standard-library allocator over the runtime heap, so containers end the program
// with the same box as every other allocation when memory runs out.
template <class T>
struct RuntimeAllocator {
    using value_type = T;
    RuntimeAllocator() = default;
    template <class U>
    RuntimeAllocator(const RuntimeAllocator<U>&) {}
    T* allocate(size_t n) { return static_cast<T*>(AllocateUninitialised(n * sizeof(T))); }
    void deallocate(T* p, size_t) { Release(p); }
    template <class U>
    bool operator==(const RuntimeAllocator<U>&) const {
        return true;
    }
};
