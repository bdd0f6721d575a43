#pragma once
// Seconds on the performance counter since the last restart.
#include <windows.h>

namespace InstallBench {

class Stopwatch {
public:
    Stopwatch() { Restart(); }
    void Restart() { ::QueryPerformanceCounter(&m_start); }
    double Seconds() const {
        LARGE_INTEGER now, frequency;
        ::QueryPerformanceCounter(&now);
        ::QueryPerformanceFrequency(&frequency);
        return double(now.QuadPart - m_start.QuadPart) / double(frequency.QuadPart);
    }

private:
    LARGE_INTEGER m_start;
};

}  // namespace InstallBench
