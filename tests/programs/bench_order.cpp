// Measures the file list's orders, each against a baseline measured in the same run:
//   natural   - sorting 100,000 names in natural order (their keys built as they are
//               listed), against an ordinal sort of the same names: the ratio;
//   keys      - building those 100,000 keys, against the ordinal sort;
//   capture   - reading the capture times of 10,000 JPEGs, warm (read once before), in
//               files a second, against opening each file and reading its first 4 KB;
//   reorder   - moving 100,000 rows of a real list view from one order to another, the
//               selection and focus following their files, in milliseconds.
// Usage: bench_order.exe [directory for the JPEGs]
#include <windows.h>
#include <commctrl.h>
#include <shellapi.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <random>
#include <string>
#include <vector>

#include "app/files/file_rows.h"
#include "app/order/capture_times.h"
#include "app/order/list_order.h"
#include "app/order/row_order.h"
#include "tests/support/image_files.h"
#include "tests/support/process.h"
#include "tests/support/sorting_files.h"
#include "ui/library.h"
#include "ui/virtual_list_view.h"
#include "ui/window.h"

namespace {

// The best of `repeats` runs, in milliseconds.
template <typename F>
double Best(int repeats, F&& run) {
    double best = 1e300;
    for (int i = 0; i < repeats; ++i) {
        const auto start = std::chrono::steady_clock::now();
        run();
        const std::chrono::duration<double, std::milli> took =
            std::chrono::steady_clock::now() - start;
        best = std::min(best, took.count());
    }
    return best;
}

// Camera-like names in a shuffled order: "IMG_1234.JPG", "DSC01234 (2).jpg", "photo-…".
std::vector<std::wstring> Names(int count) {
    std::vector<std::wstring> names;
    const wchar_t* const prefixes[] = {L"IMG_", L"DSC0", L"photo-", L"Scan ", L"img_"};
    for (int i = 0; i < count; ++i)
        names.push_back(prefixes[i % 5] + std::to_wstring(i * 7919 % count) +
                        (i % 3 ? L".JPG" : L" (2).jpg"));
    std::shuffle(names.begin(), names.end(), std::mt19937(42));
    return names;
}

void NaturalOrder(int count) {
    const std::vector<std::wstring> names = Names(count);
    FileRows rows;
    const double keys = Best(3, [&] {
        rows.Reset(L"C:\\bench");
        for (const std::wstring& name : names)
            rows.Append(name);
    });
    const double ordinal = Best(3, [&] {
        std::vector<int32_t> order(names.size());
        for (size_t i = 0; i < order.size(); ++i)
            order[i] = static_cast<int32_t>(i);
        std::sort(order.begin(), order.end(),
                  [&](int32_t a, int32_t b) { return rows.Name(a) < rows.Name(b); });
    });
    const double natural = Best(3, [&] { SortedRows(rows, {SortColumn::kName, false}, {}); });
    std::printf(
        "natural order of %d names: %.1f ms, ordinal sort %.1f ms, ratio %.2f (at most 2)\n", count,
        natural, ordinal, natural / ordinal);
    std::printf("  their keys, built as the rows are listed: %.1f ms, %.2f x the ordinal sort\n",
                keys, keys / ordinal);
}

void CaptureTimes(const std::wstring& folder, int count) {
    std::string jpeg;
    const std::wstring sample = folder + L"\\sample.bin";
    WriteSolidImage(sample, GUID_ContainerFormatJpeg, 64, 48, RGB(90, 120, 30));
    jpeg = ReadFileBytes(sample).value_or("");
    DeleteFileW(sample.c_str());
    std::vector<std::wstring> names;
    for (int i = 0; i < count; ++i) {
        names.push_back(L"p" + std::to_wstring(i) + L".jpg");
        const std::wstring path = folder + L"\\" + names.back();
        if (!FileExists(path)) {
            char time[32];
            std::snprintf(time, sizeof time, "2021:03:%02d %02d:%02d:%02d", 1 + i % 28,
                          i / 3600 % 24, i / 60 % 60, i % 60);
            WriteFileBytes(path, WithExifCaptureTime(jpeg, time));
        }
    }
    const auto readAll = [&] {
        for (const std::wstring& name : names)
            ReadCaptureTime(folder + L"\\" + name, name);
    };
    readAll();  // warm
    const double capture = Best(3, readAll);
    const double baseline = Best(3, [&] {
        char buffer[4096];
        for (const std::wstring& name : names) {
            const HANDLE file = CreateFileW((folder + L"\\" + name).c_str(), GENERIC_READ,
                                            FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                            nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
            DWORD read = 0;
            ReadFile(file, buffer, sizeof buffer, &read, nullptr);
            CloseHandle(file);
        }
    });
    std::printf(
        "capture times of %d JPEGs, warm: %.0f files/s (at least 5000); open and read "
        "4 KB: %.0f files/s, ratio %.2f\n",
        count, count * 1000.0 / capture, count * 1000.0 / baseline, capture / baseline);
}

void Reorder(int count) {
    InitialiseLibrary();
    Window window;
    const TextBlock title = TextBlock::FromWide(L"bench_order");
    const HWND hwnd = window.Show({.title = &title, .width = 800, .height = 600});
    VirtualListViewControl list;
    FileRows rows;
    rows.Reset(L"C:\\bench");
    for (const std::wstring& name : Names(count))
        rows.Append(name);
    list.SetCellTextSource([&](int32_t position, int32_t column, wchar_t* buffer, int32_t size) {
        rows.CellText(position, column, buffer, size);
    });
    list.Create(hwnd, LVS_REPORT, 0, 0, 780, 560);
    for (int32_t column = 0; column < 4; ++column)
        list.InsertColumn(column, TextBlock::FromWide(L"c"), 150);
    list.SetRowCount(count, false);
    for (const int32_t position : {3, count / 2, count - 5})
        list.SelectItem(position);
    const std::vector<int32_t> ascending = SortedRows(rows, {SortColumn::kName, false}, {});
    const std::vector<int32_t> descending = SortedRows(rows, {SortColumn::kName, true}, {});
    const std::vector<int32_t> reading = SortedRows(rows, {SortColumn::kReading, false}, {});
    // Every run moves the rows: each order differs from the one shown before it.
    bool descendingShown = false;
    const double move = Best(5, [&] {
        descendingShown = !descendingShown;
        MoveRows(rows, list, descendingShown ? descending : ascending);
        UpdateWindow(list.Handle());
    });
    const double sortAndMove = Best(5, [&] {
        descendingShown = !descendingShown;
        MoveRows(rows, list, SortedRows(rows, {SortColumn::kName, descendingShown}, {}));
        UpdateWindow(list.Handle());
    });
    MoveRows(rows, list, reading);
    const double repaint = Best(5, [&] {
        InvalidateRect(list.Handle(), nullptr, FALSE);
        UpdateWindow(list.Handle());
    });
    std::printf(
        "re-ordering %d rows in the list, keys built: %.1f ms (at most 100); sorting "
        "them too %.1f ms; a repaint of the list alone %.1f ms\n",
        count, move, sortAndMove, repaint);
}

}  // namespace

int main() {
    int argc = 0;
    wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &argc);
    NaturalOrder(100000);
    TempDirectory scratch;
    CaptureTimes(argc > 1 ? std::wstring(argv[1]) : scratch.Path(), 10000);
    LocalFree(argv);
    Reorder(100000);
    return 0;
}
