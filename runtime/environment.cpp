#include "runtime/environment.h"

#include <windows.h>

#include <cstring>

#include "runtime/heap.h"

Text ProgramDirectory() {
    // MAX_PATH first; a longer path gets a larger buffer instead of being cut.
    for (DWORD size = MAX_PATH;; size *= 2) {
        auto* path = static_cast<char*>(Allocate(size));
        const DWORD length = GetModuleFileNameA(nullptr, path, size);
        if (length == 0 || length < size || size >= 32768) {
            char* separator = length ? std::strrchr(path, '\\') : nullptr;
            if (separator)
                *separator = '\0';
            Text directory(separator ? path : "");
            Release(path);
            return directory;
        }
        Release(path);
    }
}

int32_t CursorX() {
    POINT point;
    return GetCursorPos(&point) ? point.x : 0;
}

int32_t CursorY() {
    POINT point;
    return GetCursorPos(&point) ? point.y : 0;
}
