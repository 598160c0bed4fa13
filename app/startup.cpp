#include "app/startup.h"

#include <windows.h>
#include <objbase.h>

#include "runtime/errors.h"
#include "runtime/heap.h"

int StartProgram() {
    SetRuntimeHeap(GetProcessHeap());
    CoInitialize(nullptr);
    ExitProgram(0);
}
