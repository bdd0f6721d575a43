// The updater's entry point.
#include <windows.h>

#include "app/entry_procedure.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    return App::RunEntryProcedure(instance, ::GetCommandLineA());
}
