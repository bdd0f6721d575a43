#pragma once
// Owners for COM interface pointers and for a thread's COM initialisation.
#include <objbase.h>

#include "utils/unique_handle.h"

namespace Engine {

template <typename Interface>
struct ComInterfaceTraits {
    using Handle = Interface*;
    static Handle Invalid() noexcept { return nullptr; }
    static void Close(Handle pointer) noexcept { pointer->Release(); }
};

template <typename Interface>
using UniqueComPtr = Utils::UniqueHandle<ComInterfaceTraits<Interface>>;

// Initialises COM on the calling thread for the owner's lifetime. A thread
// that already has COM keeps it as it is.
class ComApartment {
public:
    ComApartment() : m_result(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)) {}
    ~ComApartment() {
        if (SUCCEEDED(m_result)) CoUninitialize();
    }
    ComApartment(const ComApartment&) = delete;
    ComApartment& operator=(const ComApartment&) = delete;

private:
    HRESULT m_result;
};

}  // namespace Engine
