#include "app/base/exact_path.h"

#include <windows.h>

namespace {

bool IsSeparator(wchar_t c) {
    return c == L'\\' || c == L'/';
}

// GetFullPathNameW of a folder ending in a separator: the separator stays, so nothing is
// taken for a last component whose dots and blanks the system would drop.
std::wstring FullFolder(const std::wstring& folder) {
    DWORD size = static_cast<DWORD>(folder.size()) + MAX_PATH;
    for (;;) {
        std::wstring full(size, L'\0');
        const DWORD length = GetFullPathNameW(folder.c_str(), size, full.data(), nullptr);
        if (length == 0)
            return folder;
        if (length < size) {
            full.resize(length);
            return full;
        }
        size = length + 1;
    }
}

}  // namespace

std::wstring ExactPath(std::wstring_view path) {
    if (path.starts_with(L"\\\\?\\"))
        return std::wstring(path);
    size_t separator = path.size();
    while (separator > 0 && !IsSeparator(path[separator - 1]))
        --separator;
    const std::wstring_view name = path.substr(separator);
    std::wstring folder = FullFolder(std::wstring(path.substr(0, separator)));
    if (folder.empty() || !IsSeparator(folder.back()))
        folder += L'\\';
    if (folder.starts_with(L"\\\\?\\"))
        return folder + std::wstring(name);
    if (folder.size() >= 2 && IsSeparator(folder[0]) && IsSeparator(folder[1]))
        return L"\\\\?\\UNC\\" + folder.substr(2) + std::wstring(name);
    return L"\\\\?\\" + folder + std::wstring(name);
}
