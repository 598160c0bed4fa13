#include "runtime/environment.h"

#include <windows.h>

std::wstring ProgramDirectory() {
    // MAX_PATH first; a longer path gets a larger buffer instead of being cut.
    for (DWORD size = MAX_PATH;; size *= 2) {
        std::wstring path(size, L'\0');
        const DWORD length = GetModuleFileNameW(nullptr, path.data(), size);
        if (length == 0 || length < size || size >= 32768) {
            path.resize(length < size ? length : size);
            const size_t separator = path.rfind(L'\\');
            return separator == std::wstring::npos ? std::wstring() : path.substr(0, separator);
        }
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
