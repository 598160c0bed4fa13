#include "app/file_list.h"

#include <windows.h>
#include <shlobj.h>

#include <string>

#include "app/background_operations.h"
#include "app/file_reader.h"
#include "app/file_rows.h"
#include "app/objects.h"
#include "runtime/binding.h"
#include "runtime/guard.h"
#include "runtime/message.h"

namespace {

constexpr UINT kFileBatchMessage = WM_APP + 1;
constexpr wchar_t kReceiverClass[] = L"ZemoFileListReceiver";

FileReader g_reader;
WPARAM g_readNumber = 0;  // batches of any other read are dropped
bool g_reading = false;
HWND g_receiver = nullptr;
std::wstring g_rowToSelect;  // a file name whose row is selected as soon as it is listed

// Selects the row of g_rowToSelect when it is among rows [first, end).
void SelectAwaitedRow(int32_t first, int32_t end) {
    if (g_rowToSelect.empty())
        return;
    const FileRows& rows = FileRowStore();
    for (int32_t row = first; row < end; ++row) {
        const std::wstring_view name = rows.Name(row);
        // File names compare without regard to case, as the file system does.
        if (CompareStringOrdinal(name.data(), static_cast<int>(name.size()), g_rowToSelect.data(),
                                 static_cast<int>(g_rowToSelect.size()), TRUE) != CSTR_EQUAL)
            continue;
        g_rowToSelect.clear();
        ListViewControl& list = Objects().fileList;
        list.DeselectItem(-1);
        list.SetSelectionMark(row);
        list.EnsureVisible(row);
        return;
    }
}

// Rows go into the store, then the list learns the new count without repainting the rows it
// already shows or scrolling away from where the user is.
void AppendBatch(const FileNameBatch& batch) {
    FileRows& rows = FileRowStore();
    const int32_t first = rows.RowCount();
    batch.ForEach([&](std::wstring_view name) { rows.Append(name); });
    if (batch.count > 0)
        Objects().fileList.SetRowCount(rows.RowCount(), true);
    SelectAwaitedRow(first, rows.RowCount());
    if (batch.last)
        g_reading = false;
}

LRESULT CALLBACK ReceiverProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) noexcept {
    if (message != kFileBatchMessage)
        return DefWindowProcW(hwnd, message, wParam, lParam);
    RunGuarded([&] {
        const std::unique_ptr<FileNameBatch> batch = TakeBatch(lParam);
        if (wParam == g_readNumber && g_reading)
            AppendBatch(*batch);
    });
    return 0;
}

// The message-only window of the UI thread that the reading worker posts its batches to.
HWND Receiver() {
    if (g_receiver)
        return g_receiver;
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = &ReceiverProc;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.lpszClassName = kReceiverClass;
    RegisterClassW(&windowClass);
    g_receiver = CreateWindowExW(0, kReceiverClass, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                 windowClass.hInstance, nullptr);
    return g_receiver;
}

void StartReading(const std::wstring& directory) {
    FileRowStore().Reset(directory);
    g_rowToSelect.clear();
    ++g_readNumber;
    g_reading = true;
    const HWND receiver = Receiver();
    if (receiver && g_reader.Start(directory, receiver, kFileBatchMessage, g_readNumber))
        return;
    // Without a worker the directory is read here, as a whole.
    const std::atomic<bool> never{false};
    ListFilesInBatches(directory, never, BatchSizes(), [](FileNameBatch&& batch) {
        AppendBatch(batch);
        return true;
    });
}

}  // namespace

int32_t ChooseDirectory() {
    FolderBrowser& browser = Objects().mainFolderBrowser;
    browser.Configure(ToUtf16(Text("请选择一个文件夹")), std::nullopt, BIF_RETURNONLYFSDIRS);
    browser.Browse(nullptr);
    const TextBlock path = browser.GetPath();
    if (!BlocksEqual(path, TextBlock::EmptyWide()))
        Objects().directoryEdit.SetText(path);
    return 0;
}

int32_t LoadFileList() {
    EditControl& edit = Objects().directoryEdit;
    if (BlocksEqual(edit.Text(), TextBlock::EmptyWide())) {
        ShowMessage("文件目录不能为空！");
        return 0;
    }
    if (!SystemFunctions::PathIsDirectoryW(edit.Text().Wide())) {
        ShowMessage("文件目录不存在！");
        return 0;
    }

    if (!StopPendingOperationsAfterAsking(L"读取新目录吗？"))
        return 0;
    ForgetFileRows();

    g_reader.Cancel();
    Objects().fileList.DeleteAllItems();
    StartReading(std::wstring(edit.Text().WideView()));
    return 0;
}

void SelectRowWhenListed(std::wstring_view name) {
    g_rowToSelect.assign(name);
    SelectAwaitedRow(0, FileRowStore().RowCount());
}

bool IsReadingFiles() {
    return g_reading;
}

void StopReadingFiles() {
    g_reader.Cancel();
    g_reading = false;
}

void FileCellText(int32_t row, int32_t column, wchar_t* buffer, int32_t capacity) {
    FileRowStore().CellText(row, column, buffer, capacity);
}

int32_t FindFileRow(const wchar_t* text, bool partial, int32_t start, bool wrap) {
    return FileRowStore().FindIndexText(text, partial, start, wrap);
}
