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

const AtlHostFunctions& AtlHost() {
    // Kept loaded for the life of the process: its host windows may exist until the end.
    static const AtlHostFunctions functions = [] {
        AtlHostFunctions loaded;
        const HMODULE atl = LoadSystemLibrary("atl.dll");
        if (!atl)
            return loaded;
        // Through void (*)() so the compiler accepts the change of function type.
        loaded.initialise = reinterpret_cast<decltype(loaded.initialise)>(
            reinterpret_cast<void (*)()>(GetProcAddress(atl, MAKEINTRESOURCEA(42))));
        loaded.getControl = reinterpret_cast<decltype(loaded.getControl)>(
            reinterpret_cast<void (*)()>(GetProcAddress(atl, MAKEINTRESOURCEA(47))));
        return loaded;
    }();
    return functions;
}

bool InitialiseControlHosting() {
    if (!AtlHost().initialise)
        return false;
    AtlHost().initialise();
    return true;
}
