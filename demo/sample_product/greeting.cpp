// The demo product's library: the product loads it at start and writes its
// greeting into its note, which shows that the DLL was installed beside it.
#include <windows.h>

extern "C" __declspec(dllexport) const char* NimbraDemoGreeting() {
    return "hello from greeting.dll";
}
