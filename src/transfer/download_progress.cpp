#include "transfer/download_progress.h"

#include <algorithm>
#include <cmath>

namespace Transfer {

int TransferPosition(std::int64_t received, std::int64_t expected) {
    if (expected < 1 || received < 0) return kNoPosition;
    std::int64_t percent = received >= expected ? 100 : received * 100 / expected;
    return static_cast<int>(std::min<std::int64_t>(percent, 100));
}

double OverallProgress(std::int64_t receivedSum, std::int64_t totalBytes) {
    if (totalBytes < 1) return -1.0;
    double percent = static_cast<double>(std::max<std::int64_t>(receivedSum, 0)) * 100.0 /
                     static_cast<double>(totalBytes);
    return std::min(10.0 * std::sqrt(percent), 100.0);
}

int OverallPosition(double value) { return static_cast<int>(value); }

std::int64_t VisibleHundredths(double value) { return std::llround(value * 100.0); }

}  // namespace Transfer
