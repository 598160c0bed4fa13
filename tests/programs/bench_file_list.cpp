// Measures loading a directory into the file list and starting the program, in one run on
// one display:
//   enumerate  - a bare FindFirstFileW / FindNextFileW loop over the directory;
//   list view  - a minimal program, started fresh like zemo.exe, that fills a bare list
//                view (four columns) with the same rows (index text and file name) with
//                redraw off;
//   zemo       - the real zemo.exe: from the click on "读取文件列表" until its file list
//                holds the last row (enumeration included);
//   first      - zemo.exe: from the click until the first screen of rows is in the list;
//   find first - how long FindFirstFileW alone takes to return the first entry (under Wine
//                it reads the whole directory first), so first - find first is the time
//                from the first entry to the first screen;
//   memory     - the anonymous resident memory (RssAnon) of the zemo.exe process before
//                the read and with every row in the list, in MB.
// Usage: bench_file_list.exe <directory> <zemo.exe> [repeats]
//        bench_file_list.exe --fill <directory> plain|styled   (the minimal program)
//        bench_file_list.exe --startup <zemo.exe> [repeats]
//        bench_file_list.exe --window                          (the minimal window program)
// The first form prints one line: files, the times in milliseconds (best of the repeats),
// the ratios of zemo to the bare list view and to enumeration alone, the first-screen
// times and the memory. --startup prints the start-up times (process start to the main
// window painted) of the minimal window program holding the same media player, of
// zemo.exe without rules and of zemo.exe with 700 rules, and the ratios: one line with the
// best of the repeats, one with their medians.
#include <windows.h>
#include <commctrl.h>
#include <shellapi.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cwchar>
#include <string>
#include <optional>
#include <vector>

#include "app/window/control_ids.h"

#include "tests/support/bench_timing.h"
#include "tests/support/config_file.h"
#include "tests/support/desktop.h"
#include "tests/support/process.h"
#include "tests/support/remote_list_view.h"
#include "tests/support/wait.h"
#include "ui/library.h"
#include "ui/media_player_host.h"
#include "ui/window.h"

namespace {

using MainWindowIds::kDirectoryEditId;
using MainWindowIds::kFileListId;
constexpr int kReadButtonId = MainWindowIds::kReadListButtonId;

std::vector<std::wstring> Enumerate(const std::wstring& directory, double* ms,
                                    double* firstEntryMs = nullptr) {
    std::vector<std::wstring> names;
    const LARGE_INTEGER start = Now();
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW((directory + L"\\*").c_str(), &found);
    if (firstEntryMs)
        *firstEntryMs = Milliseconds(start, Now());
    if (search != INVALID_HANDLE_VALUE) {
        do {
            if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
                names.emplace_back(found.cFileName);
        } while (FindNextFileW(search, &found));
        FindClose(search);
    }
    *ms = Milliseconds(start, Now());
    return names;
}

// The Linux process behind a Wine process whose command line holds `marker`, found
// through /proc on drive Z:; 0 when there is none.
std::wstring ProcStatusPath(const std::string& marker) {
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW(L"Z:\\proc\\*", &found);
    if (search == INVALID_HANDLE_VALUE)
        return L"";
    std::wstring result;
    do {
        if (found.cFileName[0] < L'0' || found.cFileName[0] > L'9')
            continue;
        const std::wstring folder = std::wstring(L"Z:\\proc\\") + found.cFileName;
        const std::optional<std::string> cmdline = ReadFileBytes(folder + L"\\cmdline");
        if (cmdline && cmdline->find(marker) != std::string::npos) {
            result = folder + L"\\status";
            break;
        }
    } while (FindNextFileW(search, &found));
    FindClose(search);
    return result;
}

// RssAnon from a /proc status file, in MB; -1 when unknown.
double AnonymousMegabytes(const std::wstring& statusPath) {
    const std::optional<std::string> status = ReadFileBytes(statusPath);
    const size_t at = status ? status->find("RssAnon:") : std::string::npos;
    return at == std::string::npos ? -1 : std::atof(status->c_str() + at + 8) / 1024.0;
}

double FillListView(const std::vector<std::wstring>& names, bool styled) {
    HWND top = CreateWindowExW(0, L"STATIC", L"bench", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 700,
                               400, nullptr, nullptr, nullptr, nullptr);
    HWND list =
        CreateWindowExW(WS_EX_CLIENTEDGE, WC_LISTVIEWW, L"", WS_CHILD | WS_VISIBLE | LVS_REPORT, 8,
                        10, 672, 302, top, nullptr, nullptr, nullptr);
    const wchar_t* titles[] = {L"索引", L"文件名", L"操作类型", L"结果"};
    const int widths[] = {40, 450, 80, 80};
    for (int c = 0; c < 4; ++c) {
        LVCOLUMNW column = {LVCF_TEXT | LVCF_WIDTH, 0, widths[c], const_cast<LPWSTR>(titles[c])};
        SendMessageW(list, LVM_INSERTCOLUMNW, c, reinterpret_cast<LPARAM>(&column));
    }
    if (styled)
        SendMessageW(list, LVM_SETEXTENDEDLISTVIEWSTYLE, 0, 0x80423);
    UpdateWindow(top);

    const LARGE_INTEGER start = Now();
    SendMessageW(list, WM_SETREDRAW, FALSE, 0);
    if (styled)
        SendMessageW(list, LVM_SETITEMCOUNT, names.size(), 0);
    wchar_t index[16];
    for (size_t i = 0; i < names.size(); ++i) {
        LVITEMW item = {};
        item.mask = LVIF_TEXT;
        item.iItem = static_cast<int>(i);
        item.pszText = const_cast<LPWSTR>(L"");
        const int row = static_cast<int>(
            SendMessageW(list, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item)));
        swprintf(index, 16, i + 1 < 10 ? L"0%d" : L"%d", static_cast<int>(i + 1));
        item.iSubItem = 0;
        item.pszText = index;
        SendMessageW(list, LVM_SETITEMTEXTW, row, reinterpret_cast<LPARAM>(&item));
        item.iSubItem = 1;
        item.pszText = const_cast<LPWSTR>(names[i].c_str());
        SendMessageW(list, LVM_SETITEMTEXTW, row, reinterpret_cast<LPARAM>(&item));
    }
    SendMessageW(list, WM_SETREDRAW, TRUE, 0);
    UpdateWindow(list);
    const double ms = Milliseconds(start, Now());
    DestroyWindow(top);
    return ms;
}

// Runs this program as the minimal list view program in a fresh process; its exit code
// is the fill time in milliseconds.
double FillInFreshProcess(const std::wstring& directory, bool styled) {
    TestProcess child(ProgramPath(L"bench_file_list.exe"),
                      L"--fill \"" + directory + L"\" " + (styled ? L"styled" : L"plain"));
    const std::optional<DWORD> ms = child.WaitForExit(600000);
    return ms ? static_cast<double>(*ms) : -1;
}

struct ZemoLoad {
    double all = -1;          // click to the last row
    double firstScreen = -1;  // click to a full first screen of rows
    double memoryBefore = -1;
    double memoryAfter = -1;
};

// The real program, started from a copy in a fresh directory so no config.ini is found.
ZemoLoad LoadInZemo(const std::wstring& zemo, const std::wstring& directory, int expectedRows) {
    ZemoLoad load;
    TempDirectory home;
    const std::wstring copy = home / L"zemo.exe";
    if (!CopyFileW(zemo.c_str(), copy.c_str(), FALSE))
        return load;
    TestProcess process(copy);
    const std::wstring title = L"ZEMO文件分类整理 墨池社区";
    HWND main = WaitForTopLevelWindow(process.Id(), L"", &title, 30000);
    if (!main)
        return load;
    HWND edit = FindChildById(main, kDirectoryEditId);
    HWND button = FindChildById(main, kReadButtonId);
    RemoteListView list(FindChildById(main, kFileListId));
    SendMessageW(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(directory.c_str()));
    const std::wstring homeName = home.Path().substr(home.Path().find_last_of(L'\\') + 1);
    const std::wstring status = ProcStatusPath(std::string(homeName.begin(), homeName.end()));
    load.memoryBefore = AnonymousMegabytes(status);
    const int firstScreen = std::min(
        expectedRows, static_cast<int>(SendMessageW(list.Handle(), LVM_GETCOUNTPERPAGE, 0, 0)));

    const LARGE_INTEGER start = Now();
    PostMessageW(button, BM_CLICK, 0, 0);
    const std::wstring last =
        expectedRows < 10 ? L"0" + std::to_wstring(expectedRows) : std::to_wstring(expectedRows);
    bool done = WaitUntil(
        [&] {
            const int count = list.ItemCount();
            if (load.firstScreen < 0 && count >= firstScreen)
                load.firstScreen = Milliseconds(start, Now());
            return count == expectedRows && list.Text(expectedRows - 1, 0) == last &&
                   !list.Text(expectedRows - 1, 1).empty();
        },
        600000);
    load.all = Milliseconds(start, Now());
    load.memoryAfter = AnonymousMegabytes(status);
    PostMessageW(main, WM_CLOSE, 0, 0);
    process.WaitForExit(10000);
    if (!done)
        load.all = -1;
    return load;
}

// ---- start-up ----

constexpr int kWindowWidth = 1070;
constexpr int kWindowHeight = 640;

// The minimal window program: a window of the main window's size holding the same media
// player control, with a message loop.
int RunMinimalWindow() {
    CoInitialize(nullptr);
    InitialiseLibrary();
    InitialiseControlHosting();
    Window window;
    MediaPlayerHost player;
    const TextBlock title = TextBlock::FromWide(L"minimal");
    const HWND hwnd = window.Show({.title = &title,
                                   .width = kWindowWidth,
                                   .height = kWindowHeight,
                                   .style = WS_CLIPCHILDREN | WS_SYSMENU | WS_MINIMIZEBOX});
    if (!hwnd)
        return 1;
    player.Create(hwnd, 688, 10, 365, 592);
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    return 0;
}

// From process start until the top-level window titled `title` is shown, painted, and its
// thread idle; -1 when it never is.
double StartUntilPainted(const std::wstring& program, const std::wstring& title) {
    const LARGE_INTEGER start = Now();
    TestProcess process(program,
                        program.find(L"bench_file_list") != std::wstring::npos ? L"--window" : L"");
    HWND window = nullptr;
    const bool painted = WaitUntil(
        [&] {
            if (!window)
                window = FindTopLevelWindow(process.Id(), L"", &title);
            if (!window)
                return false;
            DWORD_PTR ignored = 0;
            return SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_NORMAL, 100, &ignored) &&
                   !GetUpdateRect(window, nullptr, FALSE);
        },
        120000);
    const double ms = Milliseconds(start, Now());
    if (window)
        PostMessageW(window, WM_CLOSE, 0, 0);
    if (!process.WaitForExit(10000))
        process.Terminate();
    return painted ? ms : -1;
}

int MeasureStartup(const std::wstring& zemo, int repeats) {
    TempDirectory plain;
    TempDirectory ruled;
    const std::wstring plainCopy = plain / L"zemo.exe";
    const std::wstring ruledCopy = ruled / L"zemo.exe";
    if (!CopyFileW(zemo.c_str(), plainCopy.c_str(), FALSE) ||
        !CopyFileW(zemo.c_str(), ruledCopy.c_str(), FALSE))
        return 1;
    std::string config = Gbk(L"[快捷键配置]") + "\r\n";
    for (int i = 0; i < 700; ++i)
        config +=
            Gbk(L"Ctrl+K" + std::to_wstring(i) + L"=复制文件|C:\\目标\\" + std::to_wstring(i)) +
            "\r\n";
    WriteFileBytes(ruled / L"config.ini", config);

    const std::wstring title = L"ZEMO文件分类整理 墨池社区";
    std::vector<double> minimal, none, many;
    // Each start begins after the previous process has been gone for a moment, so its
    // teardown in the Wine server does not count against the next one.
    const auto measure = [&](std::vector<double>& times, const std::wstring& program,
                             const std::wstring& windowTitle) {
        times.push_back(StartUntilPainted(program, windowTitle));
        Sleep(300);
    };
    for (int r = 0; r < repeats; ++r) {
        measure(minimal, ProgramPath(L"bench_file_list.exe"), L"minimal");
        measure(none, plainCopy, title);
        measure(many, ruledCopy, title);
    }
    for (const std::vector<double>* times : {&minimal, &none, &many}) {
        if (std::find(times->begin(), times->end(), -1.0) != times->end()) {
            std::fprintf(stderr, "a window never appeared\n");
            return 1;
        }
    }
    // The best run of each, then the median: on an idle machine single starts spread
    // widely, since every request to the Wine server waits for it to wake.
    const auto print = [&](auto pick) {
        std::printf("%10.0f %10.0f %10.0f %10.2f %10.2f\n", pick(minimal), pick(none), pick(many),
                    pick(none) / pick(minimal), pick(many) / pick(none));
    };
    print([](const std::vector<double>& times) { return Best(times); });
    print([](const std::vector<double>& times) { return Median(times); });
    return 0;
}

}  // namespace

int main() {
    int argc = 0;
    wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &argc);
    INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_LISTVIEW_CLASSES};
    InitCommonControlsEx(&controls);
    if (argc == 2 && std::wstring(argv[1]) == L"--window")
        return RunMinimalWindow();
    if (argc == 4 && std::wstring(argv[1]) == L"--fill") {
        double ignored = 0;
        const std::vector<std::wstring> names = Enumerate(argv[2], &ignored);
        return static_cast<int>(FillListView(names, std::wstring(argv[3]) == L"styled") + 0.5);
    }
    if (argc >= 3 && std::wstring(argv[1]) == L"--startup")
        return MeasureStartup(argv[2], argc > 3 ? std::max(1, _wtoi(argv[3])) : 3);
    if (argc < 3) {
        std::fprintf(stderr, "usage: bench_file_list <directory> <zemo.exe> [repeats]\n");
        return 2;
    }
    const std::wstring directory = argv[1];
    const std::wstring zemo = argv[2];
    const int repeats = argc > 3 ? std::max(1, _wtoi(argv[3])) : 3;

    double enumerate = 1e300, findFirst = 1e300, bare = 1e300, real = 1e300, first = 1e300;
    double memoryBefore = -1, memoryAfter = -1;
    std::vector<std::wstring> names;
    for (int r = 0; r < repeats; ++r) {
        double ms = 0, firstEntry = 0;
        names = Enumerate(directory, &ms, &firstEntry);
        enumerate = std::min(enumerate, ms);
        findFirst = std::min(findFirst, firstEntry);
        bare = std::min(bare, FillInFreshProcess(directory, false));
        const ZemoLoad loaded = LoadInZemo(zemo, directory, static_cast<int>(names.size()));
        if (loaded.all < 0) {
            std::fprintf(stderr, "zemo.exe did not show the last row\n");
            return 1;
        }
        real = std::min(real, loaded.all);
        first = std::min(first, loaded.firstScreen);
        memoryBefore = loaded.memoryBefore;
        memoryAfter = std::max(memoryAfter, loaded.memoryAfter);
    }
    std::printf("%8zu %9.0f %9.0f %9.0f %7.2f %7.2f %9.0f %9.0f %9.0f %7.0f %7.0f\n", names.size(),
                enumerate, bare, real, real / bare, real / enumerate, first, findFirst,
                first - findFirst, memoryBefore, memoryAfter);
    return 0;
}
