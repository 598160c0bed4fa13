#include "ui/library.h"

#include "ui/control_object.h"

int32_t ControlIdCounter = 0;
HINSTANCE LibraryInstance = nullptr;

void InitialiseLibrary() {
    if (!LibraryInstance) LibraryInstance = GetModuleHandleW(nullptr);
    ControlIdCounter = 500;
}
