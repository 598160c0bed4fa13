#include "app/files/file_list.h"

#include <windows.h>
#include <shlobj.h>

#include <string>

#include "app/window/application.h"
#include "app/files/folder_path.h"
#include "app/base/system_error.h"
#include "runtime/binding.h"
#include "runtime/message.h"

namespace {

// Selects the row of the awaited file name when it is among rows [first, end).
void SelectAwaitedRow(FileListing& listing, const FileRows& rows, VirtualListViewControl& list,
                      int32_t first, int32_t end) {
    std::wstring& awaited = listing.rowToSelect;
    if (awaited.empty())
        return;
    for (int32_t row = first; row < end; ++row) {
        const std::wstring_view name = rows.Name(row);
        const int32_t position = rows.PositionOf(row);
        // File names compare without regard to case, as the file system does.
        if (CompareStringOrdinal(name.data(), static_cast<int>(name.size()), awaited.data(),
                                 static_cast<int>(awaited.size()), TRUE) != CSTR_EQUAL)
            continue;
        awaited.clear();
        list.DeselectItem(-1);
        list.SetSelectionMark(position);
        list.EnsureVisible(position);
        return;
    }
}

// Rows go into the store, then the list learns the new count without repainting the rows it
// already shows or scrolling away from where the user is.
void AppendBatch(Application& app, const FileNameBatch& batch) {
    FileRows& rows = app.fileRows;
    const int32_t first = rows.RowCount();
    batch.ForEach([&](std::wstring_view name) { rows.Append(name); });
    if (batch.count > 0) {
        app.controls.fileList.SetRowCount(rows.RowCount(), true);
        PlaceListedRows(app, first);
    }
    SelectAwaitedRow(app.listing, rows, app.controls.fileList, first, rows.RowCount());
    if (!batch.last)
        return;
    app.listing.reading = false;
    FileListingEnded(app);
    if (batch.error != ERROR_SUCCESS) {
        const std::wstring text = L"无法读取文件目录：" + SystemMessage(batch.error);
        MessageBoxW(app.mainWindow, text.c_str(), L"信息", MB_OK | MB_ICONWARNING);
    }
}

void StartReading(Application& app, const std::wstring& directory) {
    FileListing& listing = app.listing;
    app.fileRows.Reset(directory);
    ForgetRowOrderFacts(app);
    listing.rowToSelect.clear();
    listing.receiver.Reopen();
    listing.reading = true;
    const auto receive = [&app](const FileNameBatch& batch) {
        if (app.listing.reading)
            AppendBatch(app, batch);
    };
    if (listing.reader.Start(directory, listing.receiver.Route(), receive))
        return;
    // Without a worker the directory is read here, as a whole.
    const std::atomic<bool> never{false};
    ListFilesInBatches(directory, never, BatchSizes(), [&app](FileNameBatch&& batch) {
        AppendBatch(app, batch);
        return true;
    });
}

}  // namespace

int32_t ChooseDirectory(Application& app) {
    FolderBrowser& browser = app.controls.mainFolderBrowser;
    browser.Configure(ToUtf16(Text("请选择一个文件夹")), std::nullopt, BIF_RETURNONLYFSDIRS);
    browser.Browse(nullptr);
    const TextBlock path = browser.GetPath();
    if (!BlocksEqual(path, TextBlock::EmptyWide()))
        app.controls.directoryEdit.SetText(path);
    return 0;
}

bool MayReadAnotherFolder(Application& app) {
    return StopPendingOperationsAfterAsking(app, L"读取新目录吗？");
}

bool ReadDirectoryBoxFolder(Application& app) {
    EditControl& edit = app.controls.directoryEdit;
    if (BlocksEqual(edit.Text(), TextBlock::EmptyWide())) {
        ShowMessage("文件目录不能为空！");
        return false;
    }
    const std::wstring directory = NormalizedFolderPath(edit.Text().WideView());
    if (directory.empty() || !SystemFunctions::PathIsDirectoryW(directory.c_str())) {
        ShowMessage("文件目录不存在！");
        return false;
    }
    if (!MayReadAnotherFolder(app))
        return false;
    // The box names the folder the rows come from, as the system names it.
    if (edit.Text().WideView() != directory)
        edit.SetText(TextBlock::FromWide(directory));
    ForgetFileRows(*app.background);

    app.listing.reader.Cancel();
    app.controls.fileList.DeleteAllItems();
    StartReading(app, directory);
    return true;
}

int32_t LoadFileList(Application& app) {
    ReadDirectoryBoxFolder(app);
    return 0;
}

void SelectRowWhenListed(FileListing& listing, const FileRows& rows, VirtualListViewControl& list,
                         std::wstring_view name) {
    listing.rowToSelect.assign(name);
    SelectAwaitedRow(listing, rows, list, 0, rows.RowCount());
}

bool IsReadingFiles(const Application& app) {
    return app.listing.reading;
}

void StopReadingFiles(FileListing& listing) {
    listing.reader.Cancel();
    listing.receiver.Close();
    listing.reading = false;
}
