#include "app/files/folder_path.h"

namespace {

bool IsBlank(wchar_t c) {
    return c == L' ' || c == L'\t';
}

bool IsSeparator(wchar_t c) {
    return c == L'\\' || c == L'/';
}

// The part of a path that names where it starts: "C:\", "C:", "\\" (of a UNC path), "\"
// or nothing (a relative path).
size_t RootLength(std::wstring_view path) {
    if (path.size() >= 2 && path[1] == L':')
        return path.size() >= 3 && IsSeparator(path[2]) ? 3 : 2;
    if (path.size() >= 2 && IsSeparator(path[0]) && IsSeparator(path[1]))
        return 2;
    return !path.empty() && IsSeparator(path[0]) ? 1 : 0;
}

std::wstring_view TrimmedPart(std::wstring_view part) {
    if (part == L"." || part == L"..")
        return part;
    while (!part.empty() && (part.back() == L' ' || part.back() == L'.'))
        part.remove_suffix(1);
    return part;
}

}  // namespace

std::wstring FirstCommandLineArgument(std::wstring_view commandLine) {
    size_t at = 0;
    const size_t end = commandLine.size();
    // The program's name: a quoted one runs to the next quote, whatever it holds.
    if (end > 0 && commandLine[0] == L'"') {
        const size_t closing = commandLine.find(L'"', 1);
        at = closing == std::wstring_view::npos ? end : closing + 1;
    } else {
        while (at < end && !IsBlank(commandLine[at]))
            ++at;
    }
    while (at < end && IsBlank(commandLine[at]))
        ++at;
    std::wstring argument;
    bool quoted = false;
    for (; at < end; ++at) {
        const wchar_t c = commandLine[at];
        if (c == L'"')
            quoted = !quoted;
        else if (IsBlank(c) && !quoted)
            break;
        else
            argument.push_back(c);
    }
    return argument;
}

std::wstring NormalizedFolderPath(std::wstring_view path) {
    if (path.starts_with(L"\\\\?\\") || path.starts_with(L"\\\\.\\"))
        return std::wstring(path);
    const size_t rootLength = RootLength(path);
    std::wstring normalized(path.substr(0, rootLength));
    for (wchar_t& c : normalized)
        c = IsSeparator(c) ? L'\\' : c;
    const size_t rootEnd = normalized.size();
    for (size_t at = rootLength; at < path.size();) {
        size_t next = at;
        while (next < path.size() && !IsSeparator(path[next]))
            ++next;
        const std::wstring_view part = TrimmedPart(path.substr(at, next - at));
        if (!part.empty()) {
            if (normalized.size() > rootEnd)
                normalized.push_back(L'\\');
            normalized.append(part);
        }
        at = next + 1;
    }
    return normalized;
}
