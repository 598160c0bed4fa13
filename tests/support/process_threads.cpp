#include "tests/support/process_threads.h"

#include <tlhelp32.h>

#include "ui/unique_handle.h"

std::optional<int> ThreadCountOf(DWORD processId) {
    const HANDLE made = CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0);
    if (made == INVALID_HANDLE_VALUE)
        return std::nullopt;
    const UniqueKernelHandle snapshot(made);
    THREADENTRY32 entry = {};
    entry.dwSize = sizeof(entry);
    int count = 0;
    for (BOOL more = Thread32First(snapshot.Get(), &entry); more;
         more = Thread32Next(snapshot.Get(), &entry))
        if (entry.th32OwnerProcessID == processId)
            ++count;
    return count;
}
