#pragma once
// Progress lines for long runs: at most one line a second on the given
// stream, so a small release prints nothing and a large one shows it moves.
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <ostream>

namespace Publish {

class ProgressMeter {
public:
    using Clock = std::chrono::steady_clock;

    ProgressMeter(std::ostream& out, std::size_t totalFiles,
                  Clock::duration interval = std::chrono::seconds(1));
    // Counts one finished product file of the given size (packed or served as
    // it is); prints when the interval has passed since the last line (or
    // since the start).
    void FileDone(std::uint64_t bytes);

private:
    std::ostream& m_out;
    std::size_t m_total;
    Clock::duration m_interval;
    std::size_t m_done = 0;
    std::uint64_t m_bytes = 0;
    Clock::time_point m_lastLine;
};

}  // namespace Publish
