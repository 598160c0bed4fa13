#include "tests/support/process_memory.h"

#include <psapi.h>

#include <algorithm>
#include <cstdlib>
#include <optional>

#include "tests/support/process.h"

double PeakMegabytes(HANDLE process, const std::wstring& program) {
    const int size =
        WideCharToMultiByte(CP_UTF8, 0, program.c_str(), -1, nullptr, 0, nullptr, nullptr);
    std::string wanted(size > 0 ? size - 1 : 0, '\0');
    WideCharToMultiByte(CP_UTF8, 0, program.c_str(), -1, wanted.data(), size, nullptr, nullptr);
    WIN32_FIND_DATAW entry;
    const HANDLE search = FindFirstFileW(L"Z:\\proc\\*", &entry);
    if (search != INVALID_HANDLE_VALUE) {
        double peak = 0;
        do {
            const std::wstring folder = std::wstring(L"Z:\\proc\\") + entry.cFileName;
            const std::optional<std::string> commandLine = ReadFileBytes(folder + L"\\cmdline");
            if (!commandLine || commandLine->compare(0, wanted.size(), wanted) != 0)
                continue;
            const std::optional<std::string> status = ReadFileBytes(folder + L"\\status");
            const size_t line = status ? status->find("VmHWM:") : std::string::npos;
            if (line != std::string::npos)
                peak = std::max(peak, std::atof(status->c_str() + line + 6) / 1024.0);
        } while (FindNextFileW(search, &entry));
        FindClose(search);
        if (peak > 0)
            return peak;
    }
    PROCESS_MEMORY_COUNTERS counters = {};
    counters.cb = sizeof(counters);
    if (!GetProcessMemoryInfo(process, &counters, sizeof(counters)))
        return 0;
    return counters.PeakWorkingSetSize / 1048576.0;
}
