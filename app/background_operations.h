// Sorting in the background: a hotkey's copies and moves, and undos, go to the worker's
// queue, and the file list's rows follow them ("等待中", "复制中 37%", then the result).
// Every operation and undo is journalled in 操作记录.csv beside config.ini. All functions
// here run on the UI thread.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

// Queues a copy (or move) of `source`, the file of file-list row `row`, into the folder
// `targetFolder` under its own name `name`, and shows the operation and "等待中" in the
// row at once. An empty target folder fails without touching any file.
void QueueFileOperation(int32_t row, bool copy, const std::wstring& source,
                        const std::wstring& targetFolder, const std::wstring& name);

// Operations queued or running.
int32_t PendingFileOperations();

// With operations pending, asks in a box titled "信息" "还有 N 个文件操作未完成，停止并"
// `question`, and on Yes stops them: the running copy leaves nothing behind, the queued
// ones are journalled as "已取消". True when nothing is pending any more, false on No.
bool StopPendingOperationsAfterAsking(const wchar_t* question);

// The main window's close handler: 1 (keep the window) when the user chose to let
// pending operations go on.
int32_t ConfirmCloseWithPendingWork();

// A new file list: the rows of the old one are forgotten, with their undo history.
void ForgetFileRows();

// Undo. A row can be undone when its last operation succeeded and was not undone yet.
bool CanUndoRow(int32_t row);
void UndoRow(int32_t row);
// Undoes the most recent successful operation not undone yet; false when there is none.
bool UndoMostRecent();
// The file list's right-click handler: a menu with "撤销" for the row under the mouse.
int32_t OfferUndoMenu(int32_t row, int32_t keyFlags);

// The system's reason for the row's last failure, empty when it did not fail.
std::wstring FailureReasonOfRow(int32_t row);
// Makes the file list show a failed row's reason as the row's tip (the list asks the main
// window for it with LVN_GETINFOTIP).
void ShowFailureReasonsAsTips();

// Full path of the journal: 操作记录.csv in the folder of config.ini.
std::wstring JournalPath();
