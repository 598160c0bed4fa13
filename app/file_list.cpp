#include "app/file_list.h"

#include <windows.h>
#include <shlobj.h>

#include "app/background_operations.h"
#include "app/file_enumeration.h"
#include "app/file_names.h"
#include "app/objects.h"
#include "runtime/binding.h"
#include "runtime/message.h"

#include <commctrl.h>

namespace {

// "01" to "09", then "10", "11", ... "100".
TextBlock IndexText(int32_t position) {
    wchar_t text[16];
    wsprintfW(text, position < 10 ? L"0%d" : L"%d", position);
    return TextBlock::FromWide(text);
}

}  // namespace

int32_t ChooseDirectory() {
    FolderBrowser& browser = Objects().mainFolderBrowser;
    browser.Configure(ToUtf16(Text("请选择一个文件夹")), std::nullopt, BIF_RETURNONLYFSDIRS);
    browser.Browse(nullptr);
    const TextBlock path = browser.GetPath();
    if (!BlocksEqual(path, TextBlock::EmptyWide()))
        Objects().directoryEdit.Text(path);
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

    ListViewControl& list = Objects().fileList;
    list.DeleteAllItems();
    FilePathList.Clear();
    const int32_t count =
        EnumerateFiles(edit.Text(), TextBlock::FromWide(L"*"), FilePathList, true);

    // Rows go in with redraw suspended (repainting after every row would make a large
    // directory take minutes) and with room for all of them made at once. Each row is
    // numbered by its position and shows its name as code page 936 can show it.
    list.SuspendRedraw();
    list.Send(LVM_SETITEMCOUNT, count, 0);
    for (int32_t i = 1; i <= count; ++i) {
        const int32_t row = list.InsertItem(std::nullopt, IndexText(list.GetItemCount() + 1));
        const Text path = FromUtf16(FilePathList.At(i));
        list.SetItemText(row, kFileNameColumn, ToUtf16(FileNameFromPath(path)));
    }
    list.ResumeRedraw();
    list.Invalidate(true);
    return 0;
}
