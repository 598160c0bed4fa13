// The life of the process: start-up, the main routine, the message loop and shutdown.
#pragma once

#include <cstdint>

// Records the heap, initialises COM, runs the program; returns only through ExitProgram.
int StartProgram();
