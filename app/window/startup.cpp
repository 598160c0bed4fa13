#include "app/window/startup.h"

#include <objbase.h>

#include <memory>

#include "app/window/application.h"
#include "app/keys/keyboard_hook.h"
#include "app/window/layout.h"
#include "app/window/main_window.h"
#include "app/window/open_folder.h"
#include "app/window/window_placement.h"
#include "app/base/ui_thread.h"
#include "runtime/binding.h"
#include "runtime/errors.h"
#include "runtime/heap.h"
#include "ui/library.h"
#include "ui/window_registry.h"

namespace {

// The one application of the process. Only the teardown, an exit callback that takes no
// argument, reaches it from here.
std::unique_ptr<Application> g_application;

}  // namespace

int StartProgram() {
    PrepareProcess();
    RunProgram();
}

void PrepareProcess() {
    SetRuntimeHeap(GetProcessHeap());
    CoInitialize(nullptr);  // the embedded media player needs a single-threaded apartment
}

void RunProgram() {
    ApplicationMain(PrepareProgram(BuildConfigPath()));
    ExitProgram(0);
}

Application& PrepareProgram(const std::wstring& configPath) {
    // The workers' road to this thread, before anything that could start a worker.
    StartUiTasks();
    g_application = std::make_unique<Application>(configPath);
    WindowRegistry::Create();
    RegisterExitCallback(&TearDownLibrary);
    InitialiseLibrary();
    InitialiseControlHosting();
    return *g_application;
}

HWND ShowMainWindow(Application& app) {
    Window& mainWindow = app.controls.mainWindow;
    mainWindow.SetDestroyHandler([&app] {
        SaveMainWindowPlacement(app);
        return QuitProgram(app);
    });
    const TextBlock title = ToUtf16(Text("ZEMO文件分类整理 墨池社区"));
    // The size at 96 DPI: the main window scales itself to its own DPI when it is built.
    const HWND window =
        mainWindow.Show({.title = &title,
                         .onCreate = [&app](HWND hwnd) { return BuildMainWindow(app, hwnd); },
                         .width = MainWindowLayout::kWindow.width,
                         .height = MainWindowLayout::kWindow.height,
                         .style = MainWindowLayout::kFrameStyle});
    if (window)
        MaximiseMainWindowAsItWas(app);
    return window;
}

int32_t ApplicationMain(Application& app) {
    // Without a main window nothing could ever end the loop.
    if (!ShowMainWindow(app))
        return 0;
    OpenCommandLineFolder(app);
    RunMessageLoop();
    return 0;
}

WPARAM RunMessageLoop() {
    MSG message{};
    for (;;) {
        const BOOL result = GetMessageW(&message, nullptr, 0, 0);
        if (result == 0)
            return message.wParam;
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
}

int32_t QuitProgram(Application& app) {
    app.keyboardHook.Remove();
    TerminateOwnProcess();
    // Still here only when the process could not terminate itself.
    ExitProcess(0);
}

int32_t TerminateOwnProcess() {
    const DWORD id = SystemFunctions::GetCurrentProcessId();
    const HANDLE self = SystemFunctions::OpenProcess(PROCESS_TERMINATE, FALSE, id);
    return TerminateProcess(self, 0) == 1 ? 1 : 0;
}

void TearDownLibrary() {
    // No worker's task runs once the application starts going.
    StopUiTasks();
    if (g_application) {
        DisposeApplication(*g_application);
        g_application.reset();
    }
    WindowRegistry::Destroy();
}
