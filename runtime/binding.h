// System functions bound by name on their first call. Each stub holds a typed slot
// that starts at a binder; the first call binds the function, stores its address in
// the slot and continues into it with the caller's arguments, so later calls go
// straight to the function.
#pragma once

#include <windows.h>
#include <shlwapi.h>

// Finds `function` in `dll` (loading the module from the system directory when it is
// not loaded yet), stores its address in *slot and returns it. A name "#n" is the
// ordinal n (1 to 65535); a name with "@@" is cut before it. Shows a "DLL ERROR" box and ends
// the program when the module or the function cannot be found.
FARPROC BindSystemFunction(const char* dll, const char* function, FARPROC* slot);

// Loads a module from the system directory only (never the program's or the current
// directory). Returns null when it is not there.
HMODULE LoadSystemLibrary(const char* dll);

// How many times GetProcAddress has been asked by the binder (for the tests).
int SystemFunctionLookups();

template <class Signature>
struct SystemFunctionStub;

template <class Result, class... Args>
struct SystemFunctionStub<Result WINAPI(Args...)> {
    using Function = Result(WINAPI*)(Args...);
    const char* dll;
    const char* function;
    Function slot;

    Result operator()(Args... args) const { return slot(args...); }
    bool IsBound() const { return slot != binder; }

    // The binder a slot starts at; `Stub` names the stub it belongs to.
    template <SystemFunctionStub& Stub>
    static Result WINAPI Bind(Args... args) {
        FARPROC address = nullptr;
        BindSystemFunction(Stub.dll, Stub.function, &address);
        // Through void(*)(), the one function pointer type meant to stand for any other.
        Stub.slot = reinterpret_cast<Function>(reinterpret_cast<void (*)()>(address));
        return Stub.slot(args...);
    }
    Function binder;
};

// Declares a stub whose slot starts at its binder (constant-initialised, no start-up code).
#define ZEMO_SYSTEM_FUNCTION(name, dll, signature)              \
    inline SystemFunctionStub<signature> name {                 \
        dll, #name, &SystemFunctionStub<signature>::Bind<name>, \
            &SystemFunctionStub<signature>::Bind<name>          \
    }

// The table of lazily bound functions, in order.
namespace SystemFunctions {
ZEMO_SYSTEM_FUNCTION(OpenProcess, "kernel32", HANDLE WINAPI(DWORD, BOOL, DWORD));
ZEMO_SYSTEM_FUNCTION(GetCurrentProcessId, "kernel32", DWORD WINAPI());
ZEMO_SYSTEM_FUNCTION(PathIsDirectoryW, "shlwapi", BOOL WINAPI(LPCWSTR));
ZEMO_SYSTEM_FUNCTION(FindClose, "kernel32", BOOL WINAPI(HANDLE));
ZEMO_SYSTEM_FUNCTION(MapVirtualKeyA, "user32", UINT WINAPI(UINT, UINT));
ZEMO_SYSTEM_FUNCTION(GetKeyNameTextA, "user32", int WINAPI(LONG, LPSTR, int));
ZEMO_SYSTEM_FUNCTION(GetProcessHeap, "kernel32", HANDLE WINAPI());
ZEMO_SYSTEM_FUNCTION(HeapFree, "kernel32", BOOL WINAPI(HANDLE, DWORD, LPVOID));
ZEMO_SYSTEM_FUNCTION(HeapAlloc, "kernel32", LPVOID WINAPI(HANDLE, DWORD, SIZE_T));
ZEMO_SYSTEM_FUNCTION(GetModuleHandleA, "kernel32", HMODULE WINAPI(LPCSTR));
ZEMO_SYSTEM_FUNCTION(CreateWindowExA, "user32",
                     HWND WINAPI(DWORD, LPCSTR, LPCSTR, DWORD, int, int, int, int, HWND, HMENU,
                                 HINSTANCE, LPVOID));
ZEMO_SYSTEM_FUNCTION(GetWindowRect, "user32", BOOL WINAPI(HWND, LPRECT));
ZEMO_SYSTEM_FUNCTION(GetParent, "user32", HWND WINAPI(HWND));
ZEMO_SYSTEM_FUNCTION(ScreenToClient, "user32", BOOL WINAPI(HWND, LPPOINT));
ZEMO_SYSTEM_FUNCTION(MoveWindow, "user32", BOOL WINAPI(HWND, int, int, int, int, BOOL));
ZEMO_SYSTEM_FUNCTION(IsWindowVisible, "user32", BOOL WINAPI(HWND));
ZEMO_SYSTEM_FUNCTION(ShowWindow, "user32", BOOL WINAPI(HWND, int));
ZEMO_SYSTEM_FUNCTION(IsWindowEnabled, "user32", BOOL WINAPI(HWND));
ZEMO_SYSTEM_FUNCTION(EnableWindow, "user32", BOOL WINAPI(HWND, BOOL));
ZEMO_SYSTEM_FUNCTION(SendMessageA, "user32", LRESULT WINAPI(HWND, UINT, WPARAM, LPARAM));
ZEMO_SYSTEM_FUNCTION(StrStrW, "shell32.dll", PWSTR WINAPI(PCWSTR, PCWSTR));
ZEMO_SYSTEM_FUNCTION(StrStrIW, "shell32.dll", PWSTR WINAPI(PCWSTR, PCWSTR));
// Not called: Wine exports it as an unimplemented stub; WideTextBuffer searches itself.
ZEMO_SYSTEM_FUNCTION(StrRStrW, "shell32.dll", PWSTR WINAPI(PCWSTR, PCWSTR, PCWSTR));
ZEMO_SYSTEM_FUNCTION(StrRStrIW, "shell32.dll", PWSTR WINAPI(PCWSTR, PCWSTR, PCWSTR));
}  // namespace SystemFunctions
