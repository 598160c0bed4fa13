#include "runtime/guard.h"

#include <windows.h>

#include <exception>
#include <new>

#include "runtime/errors.h"
#include "runtime/heap.h"

namespace {

// Writes the exception's own description to the debug output; a fixed buffer, since
// the heap may be what failed.
void WriteToDebugOutput(const char* what) {
    wchar_t text[512] = L"zemo: uncaught exception: ";
    const int prefix = lstrlenW(text);
    if (MultiByteToWideChar(CP_ACP, 0, what, -1, text + prefix, 512 - prefix - 2) == 0)
        text[prefix] = 0;
    lstrcatW(text, L"\n");
    OutputDebugStringW(text);
}

}  // namespace

void EndOnException() noexcept {
    try {
        throw;
    } catch (const std::bad_alloc&) {
        ReportOutOfMemory();
    } catch (const std::exception& exception) {
        WriteToDebugOutput(exception.what());
    } catch (...) {
        WriteToDebugOutput("not derived from std::exception");
    }
    FatalError(kUncaughtException);
}

void InstallOutOfMemoryHandler() {
    std::set_new_handler(&ReportOutOfMemory);
}
