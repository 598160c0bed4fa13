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
// Click handler of "读取文件列表": lists the files directly inside the directory of the
// edit box, numbered from "01", and records their full paths in FilePathList.
int32_t LoadFileList();
