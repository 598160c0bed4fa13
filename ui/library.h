// Library-wide state and initialisation of the UI support library.
#pragma once

#include <windows.h>
#include <unknwn.h>

// Sets the instance handle (when still unset) and the control identifier counter (500),
// and sends operator new's failures to the out-of-memory box.
void InitialiseLibrary();

// The ActiveX host functions of ATL.DLL (from the system directory only, by ordinal),
// loaded on first use; null where the library or the export is missing.
struct AtlHostFunctions {
    BOOL(WINAPI* initialise)() = nullptr;                     // AtlAxWinInit (42)
    HRESULT(WINAPI* getControl)(HWND, IUnknown**) = nullptr;  // AtlAxGetControl (47)
};
const AtlHostFunctions& AtlHost();

// Makes the ActiveX host window class "AtlAxWin" available (AtlAxWinInit). Further calls change
// nothing. False when the library or the export is missing.
bool InitialiseControlHosting();
