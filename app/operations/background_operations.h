// Sorting in the background: a hotkey's copies and moves, and undos, go to the worker's
// queue, and the file list's rows follow them ("等待中", "复制中 37%", then the result).
// Every operation and undo is journalled in 操作记录.csv beside config.ini. Here: the queue's
// set-up, the operations queued, and stopping them before the window closes or another folder
// is read. All functions here run on the UI thread.
#pragma once

#include <windows.h>

#include <cstdint>
#include <memory>
#include <string>

struct Application;

// What the UI thread keeps of the background work (app/operations/background_state.h).
struct BackgroundOperations;
struct BackgroundOperationsDeleter {
    void operator()(BackgroundOperations* operations) const;
};
using BackgroundOperationsPointer =
    std::unique_ptr<BackgroundOperations, BackgroundOperationsDeleter>;
// Nothing queued yet: the worker and its journal come with the first operation.
BackgroundOperationsPointer MakeBackgroundOperations();

// Queues a copy (or move) of `source`, the file of file-list row `row`, into the folder
// `targetFolder` under its own name `name`, and shows the operation and "等待中" in the
// row at once. An empty target folder fails without touching any file.
void QueueFileOperation(Application& app, int32_t row, bool copy, const std::wstring& source,
                        const std::wstring& targetFolder, const std::wstring& name);

// Operations queued or running.
int32_t PendingFileOperations(const BackgroundOperations& operations);

// With operations pending, asks in a box titled "信息" "还有 N 个文件操作未完成，停止并"
// `question`, and on Yes stops them: the running copy leaves nothing behind, the queued
// ones are journalled as "已取消". True when nothing is pending any more, false on No.
bool StopPendingOperationsAfterAsking(Application& app, const wchar_t* question);

// The main window's close handler: 1 (keep the window) when the user chose to let
// pending operations go on.
int32_t ConfirmCloseWithPendingWork(Application& app);

// A new file list: the rows of the old one are forgotten, with their undo history.
void ForgetFileRows(BackgroundOperations& operations);
