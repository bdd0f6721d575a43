#pragma once
// The arithmetic behind the progress bar while files are fetched. Pure
// functions on 64-bit byte counts; safe on any thread.
#include <cstdint>

namespace Transfer {

// Means "leave the bar as it is".
constexpr int kNoPosition = -1;

// Position of a single transfer (update document, updater): received as a
// percentage of expected, truncated and capped at 100. kNoPosition when the
// response declared no length (expected below 1) or received is negative.
int TransferPosition(std::int64_t received, std::int64_t expected);

// The overall value for the regular and tool files: 10 * sqrt(percent of
// totalBytes received), so that a quarter of the bytes shows as 50. Capped at
// 100 when more arrived than the document announced. Negative when
// totalBytes is below 1 (nothing sensible to show).
double OverallProgress(std::int64_t receivedSum, std::int64_t totalBytes);

// The bar position for an overall value: the value truncated.
int OverallPosition(double value);

// The value as the status line shows it ("%.2f"), in hundredths, so that two
// values the user can't tell apart compare equal.
std::int64_t VisibleHundredths(double value);

}  // namespace Transfer
