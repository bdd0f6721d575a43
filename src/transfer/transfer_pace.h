#pragma once
// Decides when a transfer is too slow to go on: it fails once a window of
// time has passed in which fewer than a minimum number of bytes arrived.
// Windows follow one another: each starts when the one before ends. Plain
// arithmetic on tick counts (wrapping is harmless); one thread at a time.
#include <windows.h>

#include <cstdint>

namespace Utils {
namespace HTTP {

class TransferPace {
public:
    // The first window starts at now (milliseconds, as GetTickCount gives them).
    TransferPace(DWORD windowMs, std::int64_t minBytes, DWORD now);

    // Counts bytes that arrived by now (0 for none). False when at least
    // windowMs have passed since the current window started and fewer than
    // minBytes arrived in it, these bytes included; otherwise true, and a
    // window that has run its length is followed by a new one from now.
    bool Arrived(std::int64_t bytes, DWORD now);

private:
    DWORD m_windowMs;
    std::int64_t m_minBytes;
    DWORD m_windowStart;
    std::int64_t m_inWindow = 0;
};

}  // namespace HTTP
}  // namespace Utils
