// Ends itself through one of the runtime's fatal paths, named by its first argument, so
// the end-to-end tests can see the box and the exit code as a user would. A second
// argument names a file that an exit callback creates, showing the callbacks ran.
#include <windows.h>
#include <objbase.h>

#include <cstdint>
#include <cstring>
#include <stdexcept>
#include <string>
#include <vector>

#include "runtime/binding.h"
#include "runtime/errors.h"
#include "runtime/heap.h"
#include "runtime/text.h"
#include "runtime/value.h"
#include "ui/control_object.h"
#include "ui/library.h"
#include "ui/window.h"

namespace {

const char* g_marker = nullptr;

void CreateMarker() {
    HANDLE file = CreateFileA(g_marker, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (file != INVALID_HANDLE_VALUE)
        CloseHandle(file);
}

int32_t Throw() {
    throw std::runtime_error("a handler failed");
}

TextArray TwoTexts() {
    TextArray list;
    list.Append(Text("a"));
    list.Append(Text("b"));
    return list;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2)
        return 2;
    if (argc > 2) {
        g_marker = argv[2];
        RegisterExitCallback(CreateMarker);
    }
    CoInitialize(nullptr);
    const char* mode = argv[1];
    FARPROC slot = nullptr;
    if (std::strcmp(mode, "index-above") == 0) {
        TwoTexts().At(3, {12, 34});
    } else if (std::strcmp(mode, "index-below") == 0) {
        TwoTexts().At(0);
    } else if (std::strcmp(mode, "memory") == 0) {
        Allocate(SIZE_MAX / 2);
    } else if (std::strcmp(mode, "missing-dll") == 0) {
        BindSystemFunction("zemo_missing.dll", "Anything", &slot);
    } else if (std::strcmp(mode, "missing-function") == 0) {
        BindSystemFunction("kernel32", "ZemoNoSuchFunction", &slot);
    } else if (std::strcmp(mode, "unknown-kind") == 0) {
        ReadValueFromBlock(NewBlock(4), 11);
    } else if (std::strcmp(mode, "double-release") == 0) {
        void* block = Allocate(16);
        Release(block);
        Release(block);
    } else if (std::strcmp(mode, "new-memory") == 0) {
        InitialiseLibrary();
        std::vector<char> huge;
        huge.reserve(huge.max_size());  // more than any address space holds
    } else if (std::strcmp(mode, "window-exception") == 0) {
        InitialiseLibrary();
        Window window;
        window.Show({.visible = false});
        window.SetCloseHandler([&window]() -> int32_t {
            throw std::runtime_error(std::to_string(window.ControlId()));
        });
        window.Send(WM_CLOSE, 0, 0);
    } else if (std::strcmp(mode, "control-exception") == 0) {
        InitialiseLibrary();
        ControlObject control;
        control.CreateControlWindow(nullptr, 0, ToUtf16(Text("Static")), nullptr, WS_POPUP, 0, 0,
                                    10, 10, nullptr, nullptr);
        control.SetLeftDownHandler(&Throw);
        control.Send(WM_LBUTTONDOWN, 0, 0);
    }
    return 3;  // no fatal path was taken
}
