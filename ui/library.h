// Library-wide state and initialisation of the UI support library.
#pragma once

#include <windows.h>

// Sets the instance handle (when still unset) and the control identifier counter (500).
void InitialiseLibrary();
