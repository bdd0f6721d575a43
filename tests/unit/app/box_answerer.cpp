#include "box_answerer.h"

#include <algorithm>

#include "support/window_driver.h"

namespace AppTest {
namespace {

constexpr int kMessageBoxTextId = 65535;

BOOL CALLBACK CollectMessageBox(HWND window, LPARAM found) {
    char className[16] = {};
    ::GetClassNameA(window, className, sizeof(className));
    if (std::string(className) == "#32770" && ::GetDlgItem(window, kMessageBoxTextId) != nullptr)
        reinterpret_cast<std::vector<HWND>*>(found)->push_back(window);
    return TRUE;
}

}  // namespace

BoxAnswerer::BoxAnswerer(DWORD threadId) : m_threadId(threadId), m_watcher([this] { Watch(); }) {}

BoxAnswerer::~BoxAnswerer() {
    m_stop = true;
    m_watcher.join();
}

std::vector<BoxAnswerer::Box> BoxAnswerer::Boxes() const {
    std::lock_guard<std::mutex> lock(m_lock);
    return m_boxes;
}

void BoxAnswerer::Watch() {
    while (!m_stop) {
        std::vector<HWND> boxes;
        ::EnumThreadWindows(m_threadId, &CollectMessageBox, reinterpret_cast<LPARAM>(&boxes));
        // A box stays listed until its thread has taken the click: answer each once.
        std::vector<HWND> stillUp;
        for (HWND box : boxes) {
            stillUp.push_back(box);
            if (std::find(m_answered.begin(), m_answered.end(), box) != m_answered.end()) continue;
            std::lock_guard<std::mutex> lock(m_lock);
            m_boxes.push_back({TestSupport::GetWindowTextOf(box),
                               TestSupport::GetMessageBoxText(box), ::GetWindow(box, GW_OWNER)});
            TestSupport::PressButton(box, IDOK);
        }
        m_answered = stillUp;
        ::Sleep(20);
    }
}

}  // namespace AppTest
