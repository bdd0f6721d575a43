#pragma once
// Median and range of repeated measurements.
#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

namespace InstallBench {

struct Spread {
    double median = 0, low = 0, high = 0;
};

inline Spread SpreadOf(std::vector<double> values) {
    Spread spread;
    if (values.empty()) return spread;
    std::sort(values.begin(), values.end());
    const std::size_t n = values.size();
    spread.median = n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
    spread.low = values.front();
    spread.high = values.back();
    return spread;
}

// "12.34 [12.01..12.80]"
inline std::string FormatSpread(const Spread& s, const char* format = "%.2f") {
    char median[32], low[32], high[32];
    std::snprintf(median, sizeof(median), format, s.median);
    std::snprintf(low, sizeof(low), format, s.low);
    std::snprintf(high, sizeof(high), format, s.high);
    return std::string(median) + " [" + low + ".." + high + "]";
}

}  // namespace InstallBench
