#pragma once
// A lock that processes share by name: a named mutex, owned by the thread
// that took it until that thread releases it or ends.
#include <windows.h>

#include <string>

#include "utils/unique_handle.h"

namespace Utils {
namespace MT {

class NamedLock {
public:
    enum class State {
        Held,        // this thread owns the lock
        Busy,        // another owner kept it for the whole wait
        Unavailable  // no mutex of that name can be made here (an invalid name)
    };

    // Waits up to waitMs for the lock of that name. A lock whose owner ended
    // without releasing it (a killed process) is taken as free. A mutex of
    // that name that this user may not open belongs to a run of another user
    // or an elevated one, and counts as Busy. Any thread; the lock belongs to
    // the calling thread, which should live as long as the lock is needed.
    NamedLock(const std::string& name, DWORD waitMs);
    // Releases a held lock; runs on the thread that took it.
    ~NamedLock();
    NamedLock(const NamedLock&) = delete;
    NamedLock& operator=(const NamedLock&) = delete;

    State GetState() const { return m_state; }

private:
    UniqueKernelHandle m_mutex;
    State m_state = State::Unavailable;
};

}  // namespace MT
}  // namespace Utils
