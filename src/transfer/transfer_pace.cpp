#include "transfer/transfer_pace.h"

namespace Utils {
namespace HTTP {

TransferPace::TransferPace(DWORD windowMs, std::int64_t minBytes, DWORD now)
    : m_windowMs(windowMs), m_minBytes(minBytes), m_windowStart(now) {}

bool TransferPace::Arrived(std::int64_t bytes, DWORD now) {
    m_inWindow += bytes;
    if (now - m_windowStart < m_windowMs) return true;
    if (m_inWindow < m_minBytes) return false;
    m_windowStart = now;
    m_inWindow = 0;
    return true;
}

}  // namespace HTTP
}  // namespace Utils
