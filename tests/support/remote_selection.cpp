#include "tests/support/remote_selection.h"

#include <commctrl.h>

bool SetRowSelected(HWND listView, int row, bool selected, bool focus) {
    DWORD processId = 0;
    GetWindowThreadProcessId(listView, &processId);
    HANDLE process = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_WRITE, FALSE, processId);
    if (!process)
        return false;
    void* remote = VirtualAllocEx(process, nullptr, sizeof(LVITEMW), MEM_COMMIT, PAGE_READWRITE);
    LVITEMW item = {};
    item.stateMask = LVIS_SELECTED | (focus ? LVIS_FOCUSED : 0);
    item.state = (selected ? LVIS_SELECTED : 0) | (focus ? LVIS_FOCUSED : 0);
    bool done = false;
    if (remote && WriteProcessMemory(process, remote, &item, sizeof item, nullptr)) {
        done = SendMessageW(listView, LVM_SETITEMSTATE, row, reinterpret_cast<LPARAM>(remote));
        if (focus)
            SendMessageW(listView, LVM_SETSELECTIONMARK, 0, row);
    }
    if (remote)
        VirtualFreeEx(process, remote, 0, MEM_RELEASE);
    CloseHandle(process);
    return done;
}
