#include "box_answerer.h"

#include "support/window_driver.h"

namespace AppTest {
namespace {

BOOL CALLBACK FindMessageBox(HWND window, LPARAM found) {
    char className[16] = {};
    ::GetClassNameA(window, className, sizeof(className));
    if (std::string(className) != "#32770" || ::GetDlgItem(window, 0xFFFF) == nullptr) return TRUE;
    *reinterpret_cast<HWND*>(found) = window;
    return FALSE;
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
        HWND box = nullptr;
        ::EnumThreadWindows(m_threadId, &FindMessageBox, reinterpret_cast<LPARAM>(&box));
        if (box == nullptr) {
            ::Sleep(20);
            continue;
        }
        {
            std::lock_guard<std::mutex> lock(m_lock);
            m_boxes.push_back({TestSupport::GetWindowTextOf(box),
                               TestSupport::GetMessageBoxText(box), ::GetWindow(box, GW_OWNER)});
        }
        TestSupport::PressButton(box, IDOK);
        TestSupport::WaitUntil([box] { return !::IsWindow(box); }, 5000);  // answered once
    }
}

}  // namespace AppTest
