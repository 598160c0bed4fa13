// Filling the file list with the files of the chosen directory.
#pragma once

#include <cstdint>

// Click handler of "选择文件夹": the chosen folder goes into the directory edit box.
int32_t ChooseDirectory();
// Click handler of "读取文件列表": lists the files directly inside the directory of the
// edit box, numbered from "01", and records their full paths in FilePathList.
int32_t LoadFileList();
