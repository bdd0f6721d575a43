#include "progress_meter.h"

namespace Publish {

ProgressMeter::ProgressMeter(std::ostream& out, std::size_t totalFiles, Clock::duration interval)
    : m_out(out), m_total(totalFiles), m_interval(interval), m_lastLine(Clock::now()) {}

void ProgressMeter::FileDone(std::uint64_t bytes) {
    ++m_done;
    m_bytes += bytes;
    const Clock::time_point now = Clock::now();
    if (now - m_lastLine < m_interval) return;
    m_lastLine = now;
    // "done", not "packed": the summary counts as packed only the files that
    // are served as .Kelz or .Kelw.
    m_out << "publish: " << m_done << " of " << m_total << " product files done ("
          << m_bytes / (1024 * 1024) << " MiB read)" << std::endl;
}

}  // namespace Publish
