#include "tests/support/host_shell.h"

#include <windows.h>

#include "tests/support/process.h"

std::string HostPath(const std::wstring& path) {
    using UnixName = char*(__cdecl*)(const wchar_t*);
    const auto unixName = reinterpret_cast<UnixName>(reinterpret_cast<void*>(
        GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "wine_get_unix_file_name")));
    char* name = unixName ? unixName(path.c_str()) : nullptr;
    if (!name)
        return {};
    const std::string quoted = std::string("'").append(name).append("'");
    HeapFree(GetProcessHeap(), 0, name);
    return quoted;
}

// Wine lets a program start a host program through ntdll's __wine_unix_spawnvp. Its
// status is not the command's, so the command leaves a marker file when it succeeds.
bool RunHostShell(const std::string& command) {
    using Spawn = LONG(WINAPI*)(char* const argv[], int wait);
    const auto spawn = reinterpret_cast<Spawn>(reinterpret_cast<void*>(
        GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "__wine_unix_spawnvp")));
    const TempDirectory markers;
    const std::wstring marker = markers / L"succeeded";
    const std::string hostMarker = HostPath(marker);
    if (!spawn || hostMarker.empty())
        return false;
    std::string shell = "/bin/sh", option = "-c";
    std::string line = "(" + command + ") && : >" + hostMarker;
    char* const argv[] = {shell.data(), option.data(), line.data(), nullptr};
    spawn(argv, TRUE);
    return FileExists(marker);
}
