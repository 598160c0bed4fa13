// The policy for code the window system calls (window procedures, hook procedures, thread
// procedures): no exception leaves it. Such a procedure is noexcept and runs its body
// through RunGuarded:
//
//     LRESULT CALLBACK Procedure(HWND hwnd, UINT message, WPARAM w, LPARAM l) noexcept {
//         return RunGuarded([&] { return HandleIt(hwnd, message, w, l); });
//     }
//
// Memory that runs out ends the program with the out-of-memory box, as every allocation
// does; any other exception ends it with the fatal-error box, after writing what it was
// to the debug output. Returning a made-up answer instead would hide the fault: a 0 for
// WM_NCCREATE, for example, silently aborts the window being created.
#pragma once

#include <utility>

// Ends the program for the exception being handled; call it only inside a catch block.
[[noreturn]] void EndOnException() noexcept;

// Runs `body` (a callable without arguments) and gives its result.
template <class Body>
auto RunGuarded(Body&& body) noexcept -> decltype(std::forward<Body>(body)()) {
    try {
        return std::forward<Body>(body)();
    } catch (...) {
        EndOnException();
    }
}

// Makes operator new end the program with the out-of-memory box instead of throwing.
void InstallOutOfMemoryHandler();
