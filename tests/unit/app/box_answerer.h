#pragma once
// Answers with OK every message box that one thread shows, from a thread of
// its own, and records each: a test whose code may show a box never hangs on
// it, and can check which boxes came up.
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
    std::thread m_watcher;
};

}  // namespace AppTest
