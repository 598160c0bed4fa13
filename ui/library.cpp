#include "ui/library.h"

#include "runtime/binding.h"
#include "runtime/guard.h"
#include "ui/control_object.h"

int32_t ControlIdCounter = 0;
HINSTANCE LibraryInstance = nullptr;

void InitialiseLibrary() {
    if (!LibraryInstance)
        LibraryInstance = GetModuleHandleW(nullptr);
    ControlIdCounter = 500;
    InstallOutOfMemoryHandler();
}

bool InitialiseControlHosting() {
    // ATL stays loaded for the life of the process: its window class is used until the end.
    static const HMODULE atl = LoadSystemLibrary("atl.dll");
    if (!atl)
        return false;
    using AtlAxWinInit = BOOL(WINAPI*)();
    // Through void (*)() so the compiler accepts the change of function type.
    const auto initialise = reinterpret_cast<AtlAxWinInit>(
        reinterpret_cast<void (*)()>(GetProcAddress(atl, MAKEINTRESOURCEA(42))));
    if (!initialise)
        return false;
    initialise();
    return true;
}
