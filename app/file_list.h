// Filling the file list with the files of the chosen directory.
#pragma once

#include <cstdint>

// Columns of the file list: one row per listed file.
enum FileColumn : int32_t {
    kFileIndexColumn = 0,
    kFileNameColumn = 1,
    kFileOperationColumn = 2,
    kFileResultColumn = 3,
};

// Click handler of "选择文件夹": the chosen folder goes into the directory edit box.
int32_t ChooseDirectory();
// Click handler of "读取文件列表": starts listing the files directly inside the directory
// of the edit box into the file rows, numbered from "01". The rows arrive while the user
// works; a new read cancels the one in progress.
int32_t LoadFileList();
// True from a read's start until its last row is in the list.
bool IsReadingFiles();
// Cancels a read in progress (at shutdown); the rows read so far stay.
void StopReadingFiles();

// The file list's cell text source and type-ahead search (virtual list callbacks).
void FileCellText(int32_t row, int32_t column, wchar_t* buffer, int32_t capacity);
int32_t FindFileRow(const wchar_t* text, bool partial, int32_t start, bool wrap);
