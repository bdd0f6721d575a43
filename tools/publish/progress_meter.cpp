#include "progress_meter.h"

namespace Publish {

ProgressMeter::ProgressMeter(std::ostream& out, std::size_t totalFiles)
    : m_out(out), m_total(totalFiles), m_lastLine(Clock::now()) {}

void ProgressMeter::FileDone(std::uint64_t bytes) {
    ++m_done;
    m_bytes += bytes;
    const Clock::time_point now = Clock::now();
    if (now - m_lastLine < std::chrono::seconds(1)) return;
    m_lastLine = now;
    m_out << "publish: " << m_done << " of " << m_total << " files packed ("
          << m_bytes / (1024 * 1024) << " MiB read)" << std::endl;
}

}  // namespace Publish
