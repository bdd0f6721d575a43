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
    ProgressMeter(std::ostream& out, std::size_t totalFiles);
    // Counts one finished file of the given size; prints when a second has
    // passed since the last line (or since the start).
    void FileDone(std::uint64_t bytes);

private:
    using Clock = std::chrono::steady_clock;

    std::ostream& m_out;
    std::size_t m_total;
    std::size_t m_done = 0;
    std::uint64_t m_bytes = 0;
    Clock::time_point m_lastLine;
};

}  // namespace Publish
