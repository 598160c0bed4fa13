// Remote control of a running zemo.exe for the scripts:
//   zemo_remote.exe wait              waits until the main window is up and idle
//   zemo_remote.exe load <directory>  reads the directory into the file list
//   zemo_remote.exe sort <row> <key>  clicks the row, presses the key (a character), and
//                                     waits for the row's result
//   zemo_remote.exe select <name>     clicks the row of the file with this name
//   zemo_remote.exe close             closes the program
// Exit code 0 on success. With ZEMO_DESKTOP set, it looks for the program on that desktop
// (a Wine virtual desktop).
#include <windows.h>
#include <shellapi.h>

#include <algorithm>
#include <string>
#include <vector>

#include "tests/support/desktop.h"
#include "tests/support/input.h"
#include "tests/support/remote_list_view.h"
#include "tests/support/zemo_app.h"

namespace {

HWND WaitForMainWindow() {
    HWND main = nullptr;
    WaitUntil(
        [&] { return (main = FindWindowW(nullptr, kMainWindowTitle)) && IsWindowVisible(main); },
        60000);
    return main;
}

// True once the program has handled everything sent before.
bool Settle(HWND window) {
    DWORD_PTR result = 0;
    return SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_NORMAL, 30000, &result) != 0;
}

}  // namespace

int main() {
    int argc = 0;
    wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &argc);
    const std::wstring command = argc > 1 ? argv[1] : L"wait";
    wchar_t desktopName[64] = {};
    if (GetEnvironmentVariableW(L"ZEMO_DESKTOP", desktopName, 64)) {
        HDESK desktop = nullptr;
        WaitUntil(
            [&] { return (desktop = OpenDesktopW(desktopName, 0, FALSE, GENERIC_ALL)) != nullptr; },
            60000);
        if (!desktop || !SetThreadDesktop(desktop))
            return 1;
    }
    HWND main = WaitForMainWindow();
    if (!main)
        return 1;
    if (command == L"close") {
        PostMessageW(main, WM_CLOSE, 0, 0);
        return 0;
    }
    if (command == L"load" && argc > 2) {
        HWND edit = FindChildById(main, kDirectoryEditId);
        SendMessageW(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(argv[2]));
        SendMessageW(FindChildById(main, kReadListButtonId), BM_CLICK, 0, 0);
    }
    if (command == L"select" && argc > 2) {
        RemoteListView list(FindChildById(main, kFileListId));
        const std::vector<std::wstring> names = list.Column(1);
        const auto found = std::find(names.begin(), names.end(), std::wstring(argv[2]));
        const int row = static_cast<int>(found - names.begin());
        if (found == names.end() || !BringToForeground(main))
            return 1;
        LeftClickAt(list.CellCentreOnScreen(row, 1));
        if (!WaitUntil([&] { return list.SelectionMark() == row; }))
            return 1;
    }
    if (command == L"sort" && argc > 3) {
        RemoteListView list(FindChildById(main, kFileListId));
        const int row = _wtoi(argv[2]);
        if (!BringToForeground(main))
            return 1;
        LeftClickAt(list.CellCentreOnScreen(row, 1));
        if (!WaitUntil([&] { return list.SelectionMark() == row; }))
            return 1;
        list.SetText(row, 3, L"");
        PressKeys({static_cast<WORD>(VkKeyScanW(argv[3][0]) & 0xFF)});
        if (!WaitUntil([&] { return !list.Text(row, 3).empty(); }))
            return 1;
    }
    return Settle(main) ? 0 : 1;
}
