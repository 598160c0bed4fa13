// Measures a copy of a 1 GB file through zemo.exe against a plain CopyFileW of the same
// file, in one run, and how long the program's window took at worst to answer a message
// during its copy.
//   plain  - CopyFileW from this process;
//   zemo   - the real zemo.exe: from the key press until its row shows "复制成功", while
//            this process sends its main window WM_NULL every 10 ms and times each answer.
// Usage: bench_copy.exe <zemo.exe> [repeats]
// Prints the best time of each in milliseconds, the throughput of zemo as a ratio to the
// plain copy, and the worst answer time of the window.
#include <windows.h>
#include <shellapi.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <string>

#include "app/file_transfer.h"
#include "tests/support/config_file.h"
#include "tests/support/input.h"
#include "tests/support/sorting_files.h"
#include "tests/support/zemo_app.h"

namespace {

constexpr uint64_t kFileSize = 1ULL << 30;

double Milliseconds(LARGE_INTEGER start, LARGE_INTEGER end) {
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    return static_cast<double>(end.QuadPart - start.QuadPart) * 1000.0 /
           static_cast<double>(frequency.QuadPart);
}

LARGE_INTEGER Now() {
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    return now;
}

// Writes the copy's pages to the disk, outside the timed part, and deletes it: the next
// copy then starts from the same clean state instead of paying for this one's write-back.
void Discard(const std::wstring& path) {
    const HANDLE file =
        CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file != INVALID_HANDLE_VALUE) {
        FlushFileBuffers(file);
        CloseHandle(file);
    }
    DeleteFileW(path.c_str());
}

double PlainCopy(const std::wstring& source, const std::wstring& destination) {
    const LARGE_INTEGER start = Now();
    const BOOL copied = CopyFileW(source.c_str(), destination.c_str(), TRUE);
    const double ms = Milliseconds(start, Now());
    Discard(destination);
    return copied ? ms : -1;
}

// The program's own copy routine in this process, without the window and the queue.
double EngineCopy(const std::wstring& source, const std::wstring& destination) {
    const std::atomic<bool> cancel{false};
    const LARGE_INTEGER start = Now();
    const bool copied = CopyWholeFile(source, destination, cancel, nullptr).succeeded;
    const double ms = Milliseconds(start, Now());
    Discard(destination);
    return copied ? ms : -1;
}

// The copy through zemo.exe; the worst answer time of its window goes to `worstAnswerMs`.
double ZemoCopy(const std::wstring& sourceFolder, const std::wstring& targetFolder,
                double* worstAnswerMs) {
    ZemoApp app(RulesConfig({{KeyNameOf('C'), L"复制文件", targetFolder}}));
    if (!app.Start() || !app.LoadDirectory(sourceFolder, 1) || !app.ClickFileRow(0))
        return -1;
    const LARGE_INTEGER start = Now();
    PressKeys({'C'});
    std::wstring result;
    while ((result = app.FileList().Text(0, 3)) != L"复制成功") {
        if (result == L"复制失败")
            return -1;
        const LARGE_INTEGER sent = Now();
        DWORD_PTR ignored = 0;
        SendMessageTimeoutW(app.MainWindow(), WM_NULL, 0, 0, SMTO_NORMAL, 10000, &ignored);
        *worstAnswerMs = std::max(*worstAnswerMs, Milliseconds(sent, Now()));
        Sleep(10);
    }
    const double ms = Milliseconds(start, Now());
    app.Close();
    Discard(targetFolder + L"\\big.bin");
    return ms;
}

}  // namespace

int main() {
    int argc = 0;
    wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &argc);
    if (argc < 2) {
        std::fprintf(stderr, "usage: bench_copy <zemo.exe> [repeats]\n");
        return 2;
    }
    const int repeats = argc > 2 ? std::max(1, _wtoi(argv[2])) : 2;
    TempDirectory source;
    TempDirectory target;
    // Both copies read the same file, made without writing its bytes.
    if (!CreateLargeFile(source / L"big.bin", kFileSize)) {
        std::fprintf(stderr, "cannot create the 1 GB file\n");
        return 1;
    }
    double plainMs = 1e300;
    double zemoMs = 1e300;
    double engineMs = 1e300;
    double worstAnswerMs = 0;
    // Alternating, so both meet the same state of the disk cache.
    for (int i = 0; i < repeats; ++i) {
        const double plain = PlainCopy(source / L"big.bin", target / L"big.bin");
        const double zemo = ZemoCopy(source.Path(), target.Path(), &worstAnswerMs);
        const double engine = EngineCopy(source / L"big.bin", target / L"big.bin");
        std::printf("  run %d: CopyFileW %.0f ms, zemo.exe %.0f ms, copy routine %.0f ms\n", i + 1,
                    plain, zemo, engine);
        engineMs = std::min(engineMs, engine);
        if (plain < 0 || zemo < 0) {
            std::fprintf(stderr, "a copy failed\n");
            return 1;
        }
        plainMs = std::min(plainMs, plain);
        zemoMs = std::min(zemoMs, zemo);
    }
    std::printf(
        "1 GB copy: CopyFileW %.0f ms, zemo.exe %.0f ms; throughput zemo/CopyFileW %.2f "
        "(target >= 0.9)\n",
        plainMs, zemoMs, plainMs / zemoMs);
    std::printf("  the copy routine alone, in-process: %.0f ms\n", engineMs);
    std::printf("worst answer time of the window during the copy: %.0f ms (target <= 100)\n",
                worstAnswerMs);
    return 0;
}
