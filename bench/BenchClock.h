// Now, Median: the one clock and the one average of the benchmarks.
//
// The clock is the performance counter, read as seconds: <chrono> cannot be
// used here, since its "\u00b5s" suffix has no code page 949 form and does
// not compile with the project's execution character set.
#pragma once

#include <windows.h>

#include <algorithm>
#include <cstddef>
#include <vector>

inline double Now() {
    LARGE_INTEGER counter, frequency;
    ::QueryPerformanceCounter(&counter);
    ::QueryPerformanceFrequency(&frequency);
    return static_cast<double>(counter.QuadPart) / static_cast<double>(frequency.QuadPart);
}

// The middle value; for an even count, the mean of the two middle ones.
template <typename T>
T Median(std::vector<T> values) {
    std::sort(values.begin(), values.end());
    const std::size_t middle = values.size() / 2;
    return values.size() % 2 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
}
