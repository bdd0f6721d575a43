#pragma once
// Thread start with failure capture, and the base class of objects that
// several threads share.
#include <windows.h>

namespace Utils {
namespace MT {

using ThreadFunction = int (*)(void* argument);

// Starts function(argument) on a new thread under MainThraedFunc. The caller
// owns the returned handle (null when the thread could not be created).
HANDLE StartThread(ThreadFunction function, void* argument);

// The thread top: COM (multithreaded) for the thread, then the function; an
// escaping exception is written to the error log and the thread ends quietly.
DWORD WINAPI MainThraedFunc(LPVOID startRecord);

class ScopedLock;

class AbstractThreadSafeClass {
public:
    AbstractThreadSafeClass();
    virtual ~AbstractThreadSafeClass();
    AbstractThreadSafeClass(const AbstractThreadSafeClass&) = delete;
    AbstractThreadSafeClass& operator=(const AbstractThreadSafeClass&) = delete;

private:
    friend class ScopedLock;
    mutable CRITICAL_SECTION m_lock;
};

// Holds the owner's lock for its lifetime.
class ScopedLock {
public:
    explicit ScopedLock(const AbstractThreadSafeClass& owner);
    ~ScopedLock();
    ScopedLock(const ScopedLock&) = delete;
    ScopedLock& operator=(const ScopedLock&) = delete;

private:
    const AbstractThreadSafeClass& m_owner;
};

}  // namespace MT
}  // namespace Utils
