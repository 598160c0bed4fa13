#include "runtime/binding.h"

#include <cstdlib>
#include <cstring>

#include "runtime/errors.h"

namespace {

// Modules the binder had to load itself; released by an exit callback.
constexpr int kLoadedLibraryCapacity = 100;
HMODULE g_loadedLibraryTable[kLoadedLibraryCapacity] = {};
int g_lookups = 0;

void ReleaseLoadedLibraries() {
    for (HMODULE& module : g_loadedLibraryTable) {
        if (!module)
            break;
        FreeLibrary(module);
        module = nullptr;
    }
}

void RecordLoadedLibrary(HMODULE module) {
    for (int i = 0; i < kLoadedLibraryCapacity; ++i) {
        if (!g_loadedLibraryTable[i]) {
            g_loadedLibraryTable[i] = module;
            if (i == 0)
                RegisterExitCallback(ReleaseLoadedLibraries);
            return;
        }
    }
}

[[noreturn]] void ReportBindingFailure(const char* text) {
    ShowSystemBox(text, "DLL ERROR", MB_ICONERROR);
    ExitProgram(0);
}

}  // namespace

HMODULE LoadSystemLibrary(const char* dll) {
    char path[MAX_PATH * 2];
    UINT length = GetSystemDirectoryA(path, MAX_PATH);
    if (length == 0 || length >= MAX_PATH)
        return nullptr;
    if (std::strlen(dll) + length + 2 > sizeof path)
        return nullptr;
    path[length] = '\\';
    std::strcpy(path + length + 1, dll);
    return LoadLibraryA(path);
}

int SystemFunctionLookups() {
    return g_lookups;
}

FARPROC BindSystemFunction(const char* dll, const char* function, FARPROC* slot) {
    char text[1024];
    HMODULE module = GetModuleHandleA(dll);
    if (!module) {
        module = LoadSystemLibrary(dll);
        if (!module) {
            wsprintfA(text, "同目录下无法找到DLL文件:\"%s\".请与作者联系.", dll);
            ReportBindingFailure(text);
        }
        RecordLoadedLibrary(module);
    }

    char name[1024];
    LPCSTR lookup = name;
    if (function[0] == '#') {
        // Only 1 to 65535 are ordinals; any other number would be taken for a name's address.
        const int ordinal = std::atoi(function + 1);
        lookup = ordinal >= 1 && ordinal <= 0xFFFF ? MAKEINTRESOURCEA(ordinal) : nullptr;
    } else {
        lstrcpynA(name, function, sizeof name);
        if (char* at = std::strchr(name, '@'); at && at[1] == '@')
            *at = '\0';
    }

    ++g_lookups;
    FARPROC address = lookup ? GetProcAddress(module, lookup) : nullptr;
    if (!address) {
        wsprintfA(text, "无法定位DLL文件:\"%s\"当中的\"%s\"函数.", dll, function);
        ReportBindingFailure(text);
    }
    if (slot)
        *slot = address;
    return address;
}
