// Filling the file list with the files of the chosen directory.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <string_view>

#include "app/files/file_reader.h"

struct Application;
class FileRows;
class VirtualListViewControl;

// Columns of the file list: one row per listed file.
enum FileColumn : int32_t {
    kFileIndexColumn = 0,
    kFileNameColumn = 1,
    kFileOperationColumn = 2,
    kFileResultColumn = 3,
};

// The read that fills the file rows, as the UI thread follows it.
struct FileListing {
    FileReader reader;
    // Reopened for each read, so batches of an earlier read are dropped.
    UiReceiver receiver;
    bool reading = false;
    std::wstring rowToSelect;  // a file name whose row is selected as soon as it is listed
};

// Click handler of "选择文件夹": the chosen folder goes into the directory edit box.
int32_t ChooseDirectory(Application& app);
// Click handler of "读取文件列表": ReadDirectoryBoxFolder.
int32_t LoadFileList(Application& app);
// Starts listing the files directly inside the folder of the directory box into the file
// rows, numbered from "01"; the box then shows the folder normalised (NormalizedFolderPath).
// The rows arrive while the user works; a new read cancels the one in progress, and a
// listing that fails says why in a box. False, changing nothing, for an empty box or a
// path that is no folder (after a message) and when MayReadAnotherFolder says no.
bool ReadDirectoryBoxFolder(Application& app);
// True when another folder may be read: no operation is pending, or the user chose to
// stop them.
bool MayReadAnotherFolder(Application& app);
// Selects the row of the file with this name (and makes it the current row) as soon as
// the read in progress lists it, or at once when it is listed already.
void SelectRowWhenListed(FileListing& listing, const FileRows& rows, VirtualListViewControl& list,
                         std::wstring_view name);
// True from a read's start until its last row is in the list.
bool IsReadingFiles(const Application& app);
// Cancels a read in progress (at shutdown); the rows read so far stay.
void StopReadingFiles(FileListing& listing);
