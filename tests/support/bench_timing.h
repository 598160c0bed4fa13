// Timing for the benchmark programs: the performance counter in milliseconds, the best and
// the median of a contender's rounds, and the time until something shows.
#pragma once

#include <windows.h>
#include <shellapi.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

inline LARGE_INTEGER Now() {
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    return now;
}

inline double Milliseconds(LARGE_INTEGER start, LARGE_INTEGER end) {
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    return static_cast<double>(end.QuadPart - start.QuadPart) * 1000.0 /
           static_cast<double>(frequency.QuadPart);
}

inline double Best(const std::vector<double>& times) {
    return *std::min_element(times.begin(), times.end());
}

inline double Median(std::vector<double> times) {
    if (times.empty())
        return 0;
    std::sort(times.begin(), times.end());
    const size_t middle = times.size() / 2;
    return times.size() % 2 ? times[middle] : (times[middle - 1] + times[middle]) / 2;
}

// Milliseconds from `from` until `shown` holds, polled every millisecond; -1 at `limitMs`.
inline double MsUntil(LARGE_INTEGER from, double limitMs, const std::function<bool()>& shown) {
    for (;;) {
        const double elapsed = Milliseconds(from, Now());
        if (shown())
            return elapsed;
        if (elapsed >= limitMs)
            return -1;
        Sleep(1);
    }
}

// The command line's words, the program's own name first.
inline std::vector<std::wstring> CommandLineWords() {
    int count = 0;
    wchar_t** words = CommandLineToArgvW(GetCommandLineW(), &count);
    std::vector<std::wstring> result(words, words + (words ? count : 0));
    LocalFree(words);
    return result;
}

// Says how the program is called; the exit code for a wrong command line.
inline int WrongUsage(const char* usage) {
    std::fprintf(stderr, "usage: %s\n", usage);
    return 2;
}
