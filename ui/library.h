// Library-wide state and initialisation of the UI support library.
#pragma once

#include <windows.h>

// Sets the instance handle (when still unset) and the control identifier counter (500),
// and sends operator new's failures to the out-of-memory box.
void InitialiseLibrary();

// Makes the ActiveX host window class "AtlAxWin" available (ATL.DLL, export ordinal 42,
// loaded from the system directory only). Further calls change nothing. False when the
// library or the export is missing.
bool InitialiseControlHosting();
