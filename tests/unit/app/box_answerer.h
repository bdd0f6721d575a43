#pragma once
// Answers every message box that one thread shows, from a thread of its own,
// and records what each box said. A test whose code may show a box thus never
// hangs on it, and can check exactly which boxes came up.
#include <windows.h>

#include <atomic>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace AppTest {

class BoxAnswerer {
public:
    struct Box {
        std::string caption;
        std::string text;
        HWND owner;
    };

    // Starts watching the thread's message boxes; each is closed with OK.
    explicit BoxAnswerer(DWORD threadId);
    ~BoxAnswerer();
    BoxAnswerer(const BoxAnswerer&) = delete;
    BoxAnswerer& operator=(const BoxAnswerer&) = delete;

    std::vector<Box> Boxes() const;

private:
    void Watch();

    const DWORD m_threadId;
    std::atomic<bool> m_stop{false};
    mutable std::mutex m_lock;
    std::vector<Box> m_boxes;
    std::vector<HWND> m_answered;
    std::thread m_watcher;
};

}  // namespace AppTest
