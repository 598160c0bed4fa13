// Entry of zemo.exe.
#include <windows.h>

#include "app/window/startup.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    return StartProgram();
}
