// Timing for the benchmark programs: the performance counter in milliseconds, the best and
// the median of a contender's rounds, and the time until something shows.
#pragma once

#include <windows.h>

#include <algorithm>
#include <functional>
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
