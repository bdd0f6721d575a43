#include "utils/mt/named_lock.h"

namespace Utils {
namespace MT {

NamedLock::NamedLock(const std::string& name, DWORD waitMs) {
    m_mutex.Reset(::CreateMutexA(nullptr, FALSE, name.c_str()));
    if (!m_mutex) {
        if (::GetLastError() == ERROR_ACCESS_DENIED) m_state = State::Busy;
        return;
    }
    const DWORD result = ::WaitForSingleObject(m_mutex.Get(), waitMs);
    m_state = result == WAIT_OBJECT_0 || result == WAIT_ABANDONED ? State::Held : State::Busy;
}

NamedLock::~NamedLock() {
    if (m_state == State::Held) ::ReleaseMutex(m_mutex.Get());
}

}  // namespace MT
}  // namespace Utils
