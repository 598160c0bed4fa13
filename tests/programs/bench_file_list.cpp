// Measures loading a directory into the file list, in one run on one display:
//   enumerate  - a bare FindFirstFileW / FindNextFileW loop over the directory;
//   list view  - a minimal program, started fresh like zemo.exe, that fills a bare list
//                view (four columns) with the same rows (index text and file name) with
//                redraw off;
//   styled     - the same minimal program with the file list's extended styles and its
//                room for all rows made at once, as zemo.exe fills it;
//   zemo       - the real zemo.exe: from the click on "读取文件列表" until its file list
//                holds the last row (enumeration included).
// Usage: bench_file_list.exe <directory> <zemo.exe> [repeats]
//        bench_file_list.exe --fill <directory> plain|styled   (the minimal program)
// Prints one line: files, the four times in milliseconds (best of the repeats), the ratio
// of zemo to the bare list view, and the ratio of zemo to enumeration plus the styled fill.
#include <windows.h>
#include <commctrl.h>
#include <shellapi.h>

#include <algorithm>
#include <cstdio>
#include <cwchar>
#include <string>
#include <vector>

#include "tests/support/desktop.h"
#include "tests/support/process.h"
#include "tests/support/remote_list_view.h"

namespace {

constexpr int kFileListId = 501;
constexpr int kDirectoryEditId = 503;
constexpr int kReadButtonId = 505;

double Milliseconds(LARGE_INTEGER start, LARGE_INTEGER end) {
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    return (end.QuadPart - start.QuadPart) * 1000.0 / frequency.QuadPart;
}

LARGE_INTEGER Now() {
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    return now;
}

std::vector<std::wstring> Enumerate(const std::wstring& directory, double* ms) {
    std::vector<std::wstring> names;
    const LARGE_INTEGER start = Now();
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW((directory + L"\\*").c_str(), &found);
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

// The real program, started from a copy in a fresh directory so no config.ini is found.
double LoadInZemo(const std::wstring& zemo, const std::wstring& directory, int expectedRows) {
    TempDirectory home;
    const std::wstring copy = home / L"zemo.exe";
    if (!CopyFileW(zemo.c_str(), copy.c_str(), FALSE))
        return -1;
    TestProcess process(copy);
    const std::wstring title = L"ZEMO文件分类整理 墨池社区";
    HWND main = WaitForTopLevelWindow(process.Id(), L"", &title, 30000);
    if (!main)
        return -1;
    HWND edit = FindChildById(main, kDirectoryEditId);
    HWND button = FindChildById(main, kReadButtonId);
    RemoteListView list(FindChildById(main, kFileListId));
    SendMessageW(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(directory.c_str()));

    const LARGE_INTEGER start = Now();
    PostMessageW(button, BM_CLICK, 0, 0);
    const std::wstring last =
        expectedRows < 10 ? L"0" + std::to_wstring(expectedRows) : std::to_wstring(expectedRows);
    bool done = WaitUntil(
        [&] {
            return list.ItemCount() == expectedRows && list.Text(expectedRows - 1, 0) == last &&
                   !list.Text(expectedRows - 1, 1).empty();
        },
        600000);
    const double ms = Milliseconds(start, Now());
    PostMessageW(main, WM_CLOSE, 0, 0);
    process.WaitForExit(10000);
    return done ? ms : -1;
}

}  // namespace

int main() {
    int argc = 0;
    wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &argc);
    INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_LISTVIEW_CLASSES};
    InitCommonControlsEx(&controls);
    if (argc == 4 && std::wstring(argv[1]) == L"--fill") {
        double ignored = 0;
        const std::vector<std::wstring> names = Enumerate(argv[2], &ignored);
        return static_cast<int>(FillListView(names, std::wstring(argv[3]) == L"styled") + 0.5);
    }
    if (argc < 3) {
        std::fprintf(stderr, "usage: bench_file_list <directory> <zemo.exe> [repeats]\n");
        return 2;
    }
    const std::wstring directory = argv[1];
    const std::wstring zemo = argv[2];
    const int repeats = argc > 3 ? std::max(1, _wtoi(argv[3])) : 3;

    double enumerate = 1e300, bare = 1e300, styled = 1e300, real = 1e300;
    std::vector<std::wstring> names;
    for (int r = 0; r < repeats; ++r) {
        double ms = 0;
        names = Enumerate(directory, &ms);
        enumerate = std::min(enumerate, ms);
        bare = std::min(bare, FillInFreshProcess(directory, false));
        styled = std::min(styled, FillInFreshProcess(directory, true));
        const double loaded = LoadInZemo(zemo, directory, static_cast<int>(names.size()));
        if (loaded < 0) {
            std::fprintf(stderr, "zemo.exe did not show the last row\n");
            return 1;
        }
        real = std::min(real, loaded);
    }
    std::printf("%8zu %10.0f %10.0f %10.0f %10.0f %8.2f %8.2f\n", names.size(), enumerate, bare,
                styled, real, real / bare, real / (enumerate + styled));
    return 0;
}
